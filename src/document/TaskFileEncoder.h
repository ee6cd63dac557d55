#pragma once

#include "document/ByteBuffer.h"
#include "document/TaskFileFormat.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>

class CategoryList;
class TaskLists;

// Turns the five lists into the bytes of a task-list file in the form they
// were read in (see TaskFileFormat.h), so that a file saved without changes
// stays byte for byte as it was: a plain form as long as every field fits it,
// else the extended form, so that no text is lost or splits a line.
class TaskFileEncoder
{
public:
    QByteArray encode(TaskLists &lists);

private:
    // One line per row of the list, in display order; false when a field
    // does not fit the plain form.
    bool WriteListEntries(const CategoryList &list);
    void writeStatus(double status);
    bool writePlain(QStringView text);
    bool writePlainUtf8(QStringView text);
    void writeExtended(QStringView text);

    ByteBuffer m_bytes;
    TaskFileFormat::TextForm m_form = TaskFileFormat::TextForm::Windows1252;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};
