#pragma once

#include <QString>

#include <sys/types.h>

#include <chrono>
#include <optional>

// The locks that keep two copies of the program from writing one file at once, and the one rule for how long
// a copy waits for another: never for ever, and never with the window frozen.
namespace tumblecast::files {

// How long a copy waits for another copy's lock before it gives up with a message, and the longest pause
// between two tries (the first pauses are shorter, as most locks are held for a millisecond).
struct LockWait {
    std::chrono::milliseconds bound{3000};
    std::chrono::milliseconds longestPause{50};
};
// Tests shorten the wait. A waiting copy pauses between tries with events other than user input (painting,
// timers) going on, so its window stays drawn.
void setLockWait(LockWait wait);

// A lock file beside the file it guards (corvane.ini.lock), made exclusively for one read-modify-write and
// removed after it. It names its holder ("<pid> <host>"), and its holder keeps an flock on it: that flock is
// the proof of life, so a live holder's lock is never broken, however long it is held. A lock without it is
// stale when its holder on this machine is gone, or (held by a copy on another machine, or by a process that
// reused the pid) once it is older than a minute. Nothing at the lock's path is ever opened so that it could
// block: a folder, a FIFO or a link there is refused at once.
class LockFile {
public:
    explicit LockFile(QString path);
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    ~LockFile();

    // Waits within the LockWait. Nothing when the lock is held, else why not, as the message "Cannot write
    // <path>: <reason>" gives it.
    std::optional<QString> acquire();
    void release();

private:
    int create(const QByteArray& path);

    QString m_path;
    int m_fd = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

// Takes an flock on an open file, waiting within the LockWait; for a file written where it stands, which has
// no lock file beside it. Nothing on success, else the reason.
std::optional<QString> lockOpenFile(int fd);

}  // namespace tumblecast::files
