#pragma once

#include <QString>

// What the journal of unsaved changes costs: an edit with it on, the sync
// that follows a burst, and the replay of a long journal onto a long list.
void MeasureJournal(int entries, const QString &path, const QString &scratch);
void MeasureJournalReplay(int entries, int changes, const QString &path, const QString &scratch);
