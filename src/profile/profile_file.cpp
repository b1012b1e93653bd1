#include "profile/profile_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include "profile/ini_text.h"

namespace tumblecast {

namespace {

const QString kFileName = QStringLiteral("corvane.ini");

// A copy that holds the lock longer than this was killed or hangs: its lock is taken over.
constexpr auto kStaleLock = std::chrono::seconds(5);
constexpr auto kLockPoll = std::chrono::milliseconds(2);

QByteArray native(const QString& path) { return QFile::encodeName(path); }

ProfileError failure(const QString& path, int error) { return {path, qt_error_string(error)}; }

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // The close's own error, which on some file systems is the first sign of a failed write.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// 0 or the error.
int writeAt(int fd, const char* data, qsizetype size, off_t offset)
{
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, data, std::size_t(size), offset);
        if (done < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += done;
        size -= done;
        offset += done;
    }
    return 0;
}

int readAll(int fd, QByteArray& content)
{
    content.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t done = ::pread(fd, buffer, sizeof buffer, off_t(content.size()));
        if (done < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (done == 0) return 0;
        content.append(buffer, done);
    }
}

// Only a regular file is read: a FIFO or a device of that name would block or never end.
std::optional<QByteArray> readProfile(const QString& path)
{
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return content;
}

bool folderWritable(const QString& dir) { return ::access(native(dir).constData(), W_OK | X_OK) == 0; }

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// mkdir -p, keeping the error of the step that failed. New folders are the user's alone, as settings folders
// usually are.
int makeFolder(const QByteArray& dir)
{
    struct stat info;
    if (::stat(dir.constData(), &info) == 0) return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    if (const qsizetype slash = dir.lastIndexOf('/'); slash > 0)
        if (const int error = makeFolder(dir.first(slash))) return error;
    return ::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

// corvane.ini.lock, created exclusively for one read-modify-write and removed after it. It names its holder,
// so that the lock of a copy that was killed is taken over at once; one whose holder cannot be checked
// (another machine sharing the folder) once it is older than kStaleLock.
class LockFile {
public:
    explicit LockFile(QString path) : m_path(std::move(path)) {}
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    ~LockFile() { release(); }

    // 0 or the error that kept it from being made.
    int acquire()
    {
        const QByteArray path = native(m_path);
        const QByteArray holder = QByteArray::number(::getpid()) + ' ' + QSysInfo::machineHostName().toUtf8();
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            Descriptor fd(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
            if (fd) {
                struct stat info;
                if (::fstat(fd.get(), &info) != 0) return errno;
                m_device = info.st_dev;
                m_inode = info.st_ino;
                m_held = true;
                // Best effort: without the name the lock is only taken over by age.
                (void)writeAt(fd.get(), holder.constData(), holder.size(), 0);
                return 0;
            }
            if (errno != EEXIST) return errno;
            if (stale() || std::chrono::steady_clock::now() - start > kStaleLock) {
                ::unlink(path.constData());
                continue;
            }
            std::this_thread::sleep_for(kLockPoll);
        }
    }

    void release()
    {
        if (!m_held) return;
        m_held = false;
        // Only our own: after a takeover the lock may be another copy's by now.
        struct stat info;
        const QByteArray path = native(m_path);
        if (::stat(path.constData(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode)
            ::unlink(path.constData());
    }

private:
    bool stale() const
    {
        struct stat info;
        if (::stat(native(m_path).constData(), &info) != 0) return false;  // gone: try again
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> holder = file.read(300).split(' ');
            bool isPid = false;
            const qint64 pid = holder.value(0).toLongLong(&isPid);
            if (isPid && pid > 0 && holder.size() == 2 && holder[1] == QSysInfo::machineHostName().toUtf8() &&
                ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
                return true;
        }
        const auto age = std::chrono::seconds(std::time(nullptr) - info.st_mtime);
        return age > kStaleLock;
    }

    QString m_path;
    bool m_held = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

bool markedReadOnly(const struct stat& info) { return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

QByteArray applied(QByteArray content, const std::vector<ProfileSetting>& settings)
{
    for (const ProfileSetting& setting : settings)
        content = ini::writeValue(content, setting.section, setting.key, setting.value);
    return content;
}

// Rewrites the file where it stands, under an exclusive flock: for a profile the user may write in a folder
// the user may not (no lock file, no temporary file there), and for one whose owner a new file could not
// keep. Not atomic: a crash halfway leaves a torn file. A longer file is grown first, so a full disk fails
// before any old byte is overwritten, and the file is cut back to its old length.
std::optional<ProfileError> writeInPlace(const QString& path, const std::vector<ProfileSetting>& settings,
                                         ProfileWrite mode)
{
    Descriptor fd(::open(native(path).constData(), O_RDWR | O_CLOEXEC));
    if (!fd) return failure(path, errno);
    if (mode == ProfileWrite::CreateOnly) return std::nullopt;
    while (::flock(fd.get(), LOCK_EX) != 0)
        if (errno != EINTR) return failure(path, errno);
    QByteArray old;
    if (const int error = readAll(fd.get(), old)) return failure(path, error);
    const QByteArray updated = applied(old, settings);
    if (updated == old) return std::nullopt;
    if (updated.size() > old.size()) {
        if (const int error = writeAt(fd.get(), updated.constData() + old.size(), updated.size() - old.size(),
                                      off_t(old.size()))) {
            (void)!::ftruncate(fd.get(), off_t(old.size()));
            return failure(path, error);
        }
        if (const int error = writeAt(fd.get(), updated.constData(), old.size(), 0))
            return failure(path, error);
    } else {
        if (const int error = writeAt(fd.get(), updated.constData(), updated.size(), 0))
            return failure(path, error);
        if (::ftruncate(fd.get(), off_t(updated.size())) != 0) return failure(path, errno);
    }
    if (::fsync(fd.get()) != 0) return failure(path, errno);
    if (const int error = fd.close()) return failure(path, error);
    return std::nullopt;
}

// The new content in a temporary file beside the profile, synced, renamed over it.
std::optional<ProfileError> writeByRename(const QString& path, const std::vector<ProfileSetting>& settings,
                                          ProfileWrite mode, bool& inPlaceInstead)
{
    struct stat old;
    const bool exists = ::stat(native(path).constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return failure(path, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    if (exists && mode == ProfileWrite::CreateOnly) return std::nullopt;
    QByteArray content;
    if (exists) {
        if (markedReadOnly(old)) return failure(path, EACCES);
        // A file that cannot be read must not be replaced by one holding these values alone.
        Descriptor in(::open(native(path).constData(), O_RDONLY | O_CLOEXEC));
        if (!in) return failure(path, errno);
        if (const int error = readAll(in.get(), content)) return failure(path, error);
    } else if (errno != ENOENT) {
        return failure(path, errno);
    }
    const QByteArray updated = applied(content, settings);
    if (exists && updated == content) return std::nullopt;

    QByteArray temporary;
    int created = -1;
    for (int attempt = 0; created < 0; ++attempt) {
        temporary = native(path) + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        created = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && (errno != EEXIST || attempt == 20)) return failure(path, errno);
    }
    Descriptor fd(created);
    auto fail = [&](int error) {
        ::unlink(temporary.constData());
        return failure(path, error);
    };
    if (exists) {
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
            ::unlink(temporary.constData());
            inPlaceInstead = true;
            return std::nullopt;
        }
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail(errno);
    }
    if (const int error = writeAt(fd.get(), updated.constData(), updated.size(), 0)) return fail(error);
    if (::fsync(fd.get()) != 0) return fail(errno);
    if (const int error = fd.close()) return fail(error);
    if (::rename(temporary.constData(), native(path).constData()) != 0) return fail(errno);
    // The rename itself reaches the disk with the folder.
    if (Descriptor folder(::open(native(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_CLOEXEC));
        folder)
        ::fsync(folder.get());
    return std::nullopt;
}

}  // namespace

QString ProfilePath(const QString& programDir)
{
    const QString beside = programDir + u'/' + kFileName;
    const QFileInfo info(beside);
    if (info.exists() || info.isSymLink() || folderWritable(programDir)) return beside;
    return configHome() + QStringLiteral("/tumblecast/") + kFileName;
}

bool ProfileExists(const QString& programDir) { return QFileInfo(ProfilePath(programDir)).isFile(); }

QString ReadProfileValue(const QString& programDir, const QString& section, const QString& key,
                         const QString& defaultValue)
{
    std::optional<QString> value;
    if (const std::optional<QByteArray> content = readProfile(ProfilePath(programDir)))
        value = ini::readValue(*content, section, key);
    QString result = ini::cutValue(value.value_or(defaultValue));
    qsizetype spaces = 0;
    while (spaces < result.size() && result[spaces] == u' ') ++spaces;
    return result.sliced(spaces);
}

std::optional<ProfileError> WriteProfileValue(const QString& programDir, const QString& section,
                                              const QString& key, const QString& value)
{
    return WriteProfileValues(programDir, {{section, key, value}});
}

std::optional<ProfileError> WriteProfileValues(const QString& programDir,
                                               const std::vector<ProfileSetting>& settings, ProfileWrite mode)
{
    const QString path = ProfilePath(programDir);
    // Resolved here so that the lock, the temporary file and the checks are the target's.
    QFileInfo target(path);
    for (int hops = 0; target.isSymLink(); ++hops) {
        if (hops == 40) return failure(path, ELOOP);
        target.setFile(target.symLinkTarget());
    }
    const QString file = target.absoluteFilePath();

    // The file holds the values already (the refresh writing back what it read): nothing to write, no lock.
    if (target.isFile()) {
        if (mode == ProfileWrite::CreateOnly) return std::nullopt;
        if (const std::optional<QByteArray> old = readProfile(file); old && applied(*old, settings) == *old)
            return std::nullopt;
    }

    if (const int error = makeFolder(native(target.absolutePath()))) return failure(file, error);
    LockFile lock(file + QStringLiteral(".lock"));
    bool inPlace = false;
    if (const int error = lock.acquire()) {
        // A folder the user may not write: the profile itself may still be writable.
        if ((error != EACCES && error != EPERM && error != EROFS) || !target.isFile())
            return failure(file, error);
        inPlace = true;
    }
    if (!inPlace)
        if (std::optional<ProfileError> result = writeByRename(file, settings, mode, inPlace);
            result || !inPlace)
            return result;
    struct stat info;
    if (::stat(native(file).constData(), &info) == 0 && markedReadOnly(info)) return failure(file, EACCES);
    return writeInPlace(file, settings, mode);
}

}  // namespace tumblecast
