#include "storage/SettledFile.h"

#include "storage/FilePath.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <ctime>

#include <sys/stat.h>

namespace {

// The file's identity and the time of the last change to its inode, which
// no program can set back as it can the modification time.
struct Look {
    std::optional<FileIdentity> identity;
    qint64 changedNs = 0;

    bool operator==(const Look &other) const = default;
};

Look lookAt(const QString &path)
{
    Look look;
    look.identity = FileIdentity::Of(path);
    struct stat info;
    if (look.identity && ::stat(FilePathBytes(path).constData(), &info) == 0)
        look.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return look;
}

qint64 msSinceChange(const Look &look)
{
    if (!look.identity)
        return FileSettleMs;
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ageNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec - look.changedNs;
    // A change time ahead of the clock tells nothing: wait a whole settle time.
    return std::clamp<qint64>(ageNs / 1000000, 0, FileSettleMs);
}

} // namespace

SettledFile WaitUntilSettled(const QString &path, const std::function<void()> &waiting, int maxWaitMs)
{
    QElapsedTimer clock;
    clock.start();
    std::optional<Look> seen;
    qint64 quietSinceMs = 0;
    bool announced = false;
    for (;;) {
        const Look look = lookAt(path);
        const qint64 nowMs = clock.elapsed();
        if (look != seen) {
            seen = look;
            quietSinceMs = nowMs - msSinceChange(look);
        }
        const qint64 quietMs = nowMs - quietSinceMs;
        if (quietMs >= FileSettleMs)
            return {true, look.identity};
        if (nowMs >= maxWaitMs)
            return {false, look.identity};
        if (!announced && waiting) {
            announced = true;
            waiting();
        }
        QThread::msleep(static_cast<unsigned long>(std::clamp<qint64>(FileSettleMs - quietMs, 5, 50)));
    }
}
