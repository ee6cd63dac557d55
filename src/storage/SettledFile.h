#pragma once

#include "storage/FileIdentity.h"

#include <QString>

#include <functional>
#include <optional>

// How long a file must stay unchanged before it counts as written: long
// enough for a sync tool to finish writing a file of a few megabytes, short
// enough to feel immediate.
inline constexpr int FileSettleMs = 250;

struct SettledFile {
    bool settled = false;
    // The file as last seen; nothing when no file is there.
    std::optional<FileIdentity> identity;
};

// Waits, up to maxWaitMs, until the file at path has not changed for the
// settle time: a version is taken only once its writer has finished with it.
// A file whose last change is older than that is taken at once; waiting is
// called once when it has to wait.
SettledFile WaitUntilSettled(const QString &path, const std::function<void()> &waiting, int maxWaitMs = 4000);
