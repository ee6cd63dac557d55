#pragma once

#include "document/ByteBuffer.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>

class CategoryList;
class TaskLists;

// Turns the five lists into the bytes of a task-list file: the plain
// Windows-1252 form when every field fits it, else the extended form (see
// TaskFileFormat.h), so that no text is lost or splits a line.
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
    void writeExtended(QStringView text);

    ByteBuffer m_bytes;
    bool m_extended = false;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};
