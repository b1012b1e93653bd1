#include "files/file_lock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <thread>

namespace tumblecast::files {

namespace {

LockWait g_wait;

// A lock nobody holds an flock on, whose holder cannot be checked, is taken over after this.
constexpr std::time_t kStaleSeconds = 60;

QByteArray holderName()
{
    return QByteArray::number(::getpid()) + ' ' + QSysInfo::machineHostName().toUtf8();
}

// Whether the holder named in the lock is a process gone from this machine.
bool holderGone(const QByteArray& content)
{
    const QList<QByteArray> holder = content.split(' ');
    bool isPid = false;
    const qint64 pid = holder.value(0).toLongLong(&isPid);
    return isPid && pid > 0 && holder.size() == 2 && holder[1] == QSysInfo::machineHostName().toUtf8() &&
           ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// On the thread of a running application, events other than user input go on meanwhile.
void pause(std::chrono::milliseconds step)
{
    QCoreApplication* const app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        std::this_thread::sleep_for(step);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(step, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

QString lockedByAnotherCopy() { return QStringLiteral("locked by another copy of the program"); }

bool tryFlock(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    return true;
}

// Waits in growing steps until ready() or the bound; false on the bound.
template <class Ready>
bool waitFor(Ready ready)
{
    const LockWait wait = g_wait;
    const auto deadline = std::chrono::steady_clock::now() + wait.bound;
    auto step = std::chrono::milliseconds(2);
    for (;;) {
        if (ready()) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        pause(std::min(step, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                                 std::chrono::milliseconds(1)));
        step = std::min(step * 2, wait.longestPause);
    }
}

}  // namespace

void setLockWait(LockWait wait) { g_wait = wait; }

LockFile::LockFile(QString path) : m_path(std::move(path)) {}

LockFile::~LockFile() { release(); }

std::optional<QString> LockFile::acquire()
{
    const QByteArray path = QFile::encodeName(m_path);
    std::optional<QString> failure;
    const bool taken = waitFor([&] {
        if (const int error = create(path); error != EEXIST) {
            if (error) failure = qt_error_string(error);
            return true;
        }
        struct stat there;
        if (::lstat(path.constData(), &there) != 0) return false;  // gone meanwhile: try again
        if (!S_ISREG(there.st_mode)) {
            failure = S_ISDIR(there.st_mode)
                          ? QStringLiteral("its lock %1 is a folder").arg(m_path)
                          : QStringLiteral("its lock %1 is not a regular file").arg(m_path);
            return true;
        }
        // Non-blocking and not through a link, so that nothing swapped in since can hang us.
        const int other = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (other < 0) return false;
        struct stat info;
        bool stale = false;
        if (::fstat(other, &info) == 0 && S_ISREG(info.st_mode) && tryFlock(other)) {
            char content[300];
            const ssize_t size = ::pread(other, content, sizeof content, 0);
            stale = (size > 0 && holderGone(QByteArray(content, qsizetype(size)))) ||
                    std::time(nullptr) - info.st_mtime > kStaleSeconds;
            // Removed under its flock, and only if it is still the file looked at.
            struct stat now;
            if (stale && ::lstat(path.constData(), &now) == 0 && now.st_dev == info.st_dev &&
                now.st_ino == info.st_ino && ::unlink(path.constData()) != 0) {
                failure = QStringLiteral("cannot remove the stale lock %1 (%2)")
                              .arg(m_path, qt_error_string(errno));
            }
        }
        ::close(other);
        return failure.has_value();
    });
    if (!taken) return lockedByAnotherCopy();
    return failure;
}

// The lock appears whole, named and held already: it is made under another name and linked into place, so
// that a copy killed at any moment never leaves a lock without its holder's name. Where links cannot be made
// (a FAT memory stick) it is made in place. 0, EEXIST while another copy holds it, or the error.
int LockFile::create(const QByteArray& path)
{
    const QByteArray draft = path + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
    int fd = ::open(draft.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    tryFlock(fd);
    const QByteArray holder = holderName();
    (void)!::pwrite(fd, holder.constData(), std::size_t(holder.size()), 0);
    int error = ::link(draft.constData(), path.constData()) == 0 ? 0 : errno;
    ::unlink(draft.constData());
    if (error == EPERM || error == EOPNOTSUPP) {
        ::close(fd);
        fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) return errno;
        tryFlock(fd);
        (void)!::pwrite(fd, holder.constData(), std::size_t(holder.size()), 0);
        error = 0;
    }
    if (error) {
        ::close(fd);
        return error;
    }
    struct stat info;
    ::fstat(fd, &info);
    m_fd = fd;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    return 0;
}

void LockFile::release()
{
    if (m_fd < 0) return;
    // Only our own: it is never taken over while we hold its flock, but someone may have removed it by hand.
    struct stat info;
    const QByteArray path = QFile::encodeName(m_path);
    if (::lstat(path.constData(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode)
        ::unlink(path.constData());
    ::close(m_fd);
    m_fd = -1;
}

std::optional<QString> lockOpenFile(int fd)
{
    std::optional<QString> failure;
    const bool done = waitFor([&] {
        if (tryFlock(fd)) return true;
        if (errno == EWOULDBLOCK) return false;
        failure = qt_error_string(errno);
        return true;
    });
    if (!done) return lockedByAnotherCopy();
    return failure;
}

}  // namespace tumblecast::files
