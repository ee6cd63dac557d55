#pragma once

#include "base/ByteBuffer.h"
#include "entries/EntryFingerprint.h"
#include "fileformat/TaskFileFormat.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>

#include <vector>

class CategoryList;
class TaskLists;

// Turns the five lists into the bytes of a task-list file in the form they
// were read in (see TaskFileFormat.h), which the caller keeps, so that a file saved without changes
// stays byte for byte as it was: a plain form as long as every field fits it,
// else the extended form, so that no text is lost or splits a line.
class TaskFileEncoder
{
public:
    // When fingerprints is given, it receives the fingerprint of each entry
    // written, taken while its texts are in the cache.
    QByteArray encode(TaskLists &lists, TaskFileFormat::TextForm form = TaskFileFormat::TextForm::Windows1252,
                      std::vector<EntryFingerprint> *fingerprints = nullptr);

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
    std::vector<EntryFingerprint> *m_fingerprints = nullptr;
};
