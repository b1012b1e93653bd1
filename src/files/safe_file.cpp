#include "files/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <new>
#include <vector>

#include "files/file_lock.h"

namespace tumblecast::files {

namespace {

// A temporary file of ours that nobody holds is stale after this: a killed copy left it.
constexpr std::time_t kStaleTemporarySeconds = 60;

QByteArray native(const QString& path) { return QFile::encodeName(path); }

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void reset(int fd)
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
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

// Thrown from inside a content's stream to end it once the file has failed.
struct WriteFailed {
    int error;
};

// The one write loop: content from offset 0; how far it got, and the error that stopped it, if one did.
struct Written {
    std::uint64_t bytes = 0;
    int error = 0;
};

Written writeContent(int fd, const Content& content)
{
    Written written;
    try {
        content.write([&](std::string_view piece) {
            while (!piece.empty()) {
                const ssize_t done = ::pwrite(fd, piece.data(), piece.size(), off_t(written.bytes));
                if (done < 0 && errno == EINTR) continue;
                if (done <= 0) throw WriteFailed{done < 0 ? errno : ENOSPC};
                written.bytes += std::uint64_t(done);
                piece.remove_prefix(std::size_t(done));
            }
        });
    } catch (const WriteFailed& failed) {
        written.error = failed.error;
    } catch (const std::bad_alloc&) {
        // Memory ran out while the bytes were made: the file is cut back as after a failed write.
        written.error = ENOMEM;
    }
    return written;
}

Content bytesContent(const QByteArray& bytes)
{
    return {
        [&bytes] { return std::uint64_t(bytes.size()); },
        [&bytes](const Sink& sink) { sink(std::string_view(bytes.constData(), std::size_t(bytes.size()))); }};
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

// 0 when the file's folder is ours to write (a file can be made there), else why not.
int folderClosed(const QString& file)
{
    return ::access(native(QFileInfo(file).absolutePath()).constData(), W_OK | X_OK) == 0 ? 0 : errno;
}

bool markedReadOnly(const struct stat& info) { return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

// Whether a new file of ours can be given the old one's owner and group.
bool ownerKept(const struct stat& info)
{
    if (::geteuid() == 0) return true;
    if (info.st_uid != ::geteuid()) return false;
    if (info.st_gid == ::getegid()) return true;
    std::vector<gid_t> groups(std::size_t(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(int(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), info.st_gid) !=
           groups.begin() + std::max(count, 0);
}

enum class Strategy { Rename, InPlace, Refuse };

struct Plan {
    Strategy strategy;
    QString refusal;
};

// The one place where the way of writing is chosen. old: the file there now, if any.
Plan choose(const QString& file, const std::optional<struct stat>& old)
{
    const int folderError = folderClosed(file);
    if (!old) {
        if (!folderError) return {Strategy::Rename, {}};
        return {Strategy::Refuse, qt_error_string(folderError)};
    }
    if (S_ISDIR(old->st_mode)) return {Strategy::Refuse, qt_error_string(EISDIR)};
    if (!S_ISREG(old->st_mode)) return {Strategy::Refuse, QStringLiteral("not a regular file")};
    if (markedReadOnly(*old) || ::access(native(file).constData(), W_OK) != 0)
        return {Strategy::Refuse, qt_error_string(EACCES)};
    if (!folderError && ownerKept(*old)) return {Strategy::Rename, {}};
    return {Strategy::InPlace, {}};
}

// The file a path names, through its links (a missing target is the file to make).
std::optional<QString> resolved(const QString& path)
{
    QFileInfo target(path);
    for (int hops = 0; target.isSymLink(); ++hops) {
        if (hops == 40) return std::nullopt;
        target.setFile(target.symLinkTarget());
    }
    return target.absoluteFilePath();
}

std::optional<struct stat> statOf(const QString& file, int& error)
{
    struct stat info;
    if (::stat(native(file).constData(), &info) == 0) return info;
    error = errno == ENOENT ? 0 : errno;
    return std::nullopt;
}

// mkdir -p, keeping the error of the step that failed.
int makeFolder(const QByteArray& dir)
{
    struct stat info;
    if (::stat(dir.constData(), &info) == 0) return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    if (const qsizetype slash = dir.lastIndexOf('/'); slash > 0)
        if (const int error = makeFolder(dir.first(slash))) return error;
    return ::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST ? 0 : errno;
}

QByteArray temporaryPrefix(const QString& file) { return native(file) + ".tmp"; }

// Holds the old file under its flock until it is replaced. A copy writing it in place holds that flock and,
// once it has it, checks that the file is still the one at the path: so a rename neither reads a file half
// rewritten nor discards a write in place. Nothing when held, else why not.
std::optional<QString> holdOld(const QString& file, Descriptor& held)
{
    held.reset(openToLock(native(file)));
    struct stat info;
    if (!held || ::fstat(held.get(), &info) != 0) return qt_error_string(errno);
    if (!S_ISREG(info.st_mode)) return QStringLiteral("not a regular file");
    // A file system that takes no flock leaves it unheld: no copy can write it in place there either.
    if (::flock(held.get(), LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR))
        return std::nullopt;
    return lockOpenFile(held.get());
}

// The new bytes in a temporary file beside the old one, synced, renamed over it. The temporary file is held
// under an flock while it lives, which tells the cleanup that it is in use.
std::optional<QString> replaceByRename(const QString& file, const std::optional<struct stat>& old,
                                       const Content& content)
{
    QByteArray temporary;
    Descriptor fd;
    for (int attempt = 0; !fd; ++attempt) {
        temporary = temporaryPrefix(file) + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd && (errno != EEXIST || attempt == 20)) return qt_error_string(errno);
    }
    struct Remove {
        const QByteArray& path;
        bool done = false;
        ~Remove()
        {
            if (!done) ::unlink(path.constData());
        }
    } remove{temporary};
    (void)::flock(fd.get(), LOCK_EX | LOCK_NB);
    if (old) {
        if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
            ::fchown(fd.get(), old->st_uid, old->st_gid) != 0)
            return qt_error_string(errno);
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0) return qt_error_string(errno);
    }
    if (const Written written = writeContent(fd.get(), content); written.error)
        return qt_error_string(written.error);
    if (::fsync(fd.get()) != 0) return qt_error_string(errno);
    if (const int error = fd.close()) return qt_error_string(error);
    if (::rename(temporary.constData(), native(file).constData()) != 0) return qt_error_string(errno);
    remove.done = true;
    // The rename itself reaches the disk with the folder.
    if (Descriptor folder(::open(native(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_CLOEXEC));
        folder)
        ::fsync(folder.get());
    return std::nullopt;
}

// Rewrites the file where it stands, under its flock. prepare makes the content from the open file (reading
// it if it needs the old bytes), or nothing to leave it.
std::optional<QString> rewriteInPlace(const QString& file,
                                      const std::function<std::optional<Content>(int fd)>& prepare)
{
    Descriptor fd;
    struct stat info;
    // Another copy may replace the file by a rename while this one waits for the lock: then the lock is on
    // a file nobody will read again, and the new one is taken.
    for (int attempt = 0;; ++attempt) {
        fd.reset(::open(native(file).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
        if (!fd) return qt_error_string(errno);
        if (::fstat(fd.get(), &info) != 0) return qt_error_string(errno);
        if (!S_ISREG(info.st_mode)) return QStringLiteral("not a regular file");
        if (std::optional<QString> failure = lockOpenFile(fd.get())) return failure;
        struct stat now;
        if (::stat(native(file).constData(), &now) == 0 && now.st_dev == info.st_dev &&
            now.st_ino == info.st_ino)
            break;
        // Writing into a file that was replaced would be lost without a word.
        if (attempt == 5)
            return QStringLiteral("replaced by another copy of the program while this one waited");
    }
    if (::fstat(fd.get(), &info) != 0) return qt_error_string(errno);  // as the last writer left it
    const std::optional<Content> content = prepare(fd.get());
    if (!content) return std::nullopt;
    const auto oldSize = std::uint64_t(info.st_size);
    const std::uint64_t size = content->size();
    if (size > oldSize) {
        if (const int error = ::posix_fallocate(fd.get(), off_t(oldSize), off_t(size - oldSize))) {
            (void)!::ftruncate(fd.get(), off_t(oldSize));
            return qt_error_string(error);
        }
    }
    const Written written = writeContent(fd.get(), *content);
    if (written.error) {
        // Cut to what was written, so that what is left is at least the start of the new text, not a mix.
        (void)!::ftruncate(fd.get(), off_t(written.bytes == 0 ? oldSize : written.bytes));
        if (written.bytes == 0) return qt_error_string(written.error);
        return qt_error_string(written.error) + QStringLiteral("; the file is now incomplete");
    }
    if (::ftruncate(fd.get(), off_t(written.bytes)) != 0) return qt_error_string(errno);
    if (::fsync(fd.get()) != 0) return qt_error_string(errno);
    if (const int error = fd.close()) return qt_error_string(error);
    return std::nullopt;
}

// Temporary files of ours beside the file that a killed copy left: named exactly as we name them (a player's
// "corvane.ini.tmp.bak" is not ours), regular, ours, held by nobody and not touched for a while. Called under
// the file's lock, when no writer of this program makes one.
void removeStaleTemporaries(const QString& file)
{
    const QFileInfo info(file);
    const QDir dir = info.absoluteDir();
    const std::time_t now = std::time(nullptr);
    const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) + QStringLiteral("(\\.lock)?\\.tmp[0-9a-z]{1,7}")));
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!ours.match(name).hasMatch()) continue;
        const QByteArray path = native(dir.filePath(name));
        Descriptor fd(openToLock(path));
        struct stat there;
        if (!fd || ::fstat(fd.get(), &there) != 0 || !S_ISREG(there.st_mode) || there.st_uid != ::geteuid() ||
            now - there.st_mtime < kStaleTemporarySeconds || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        ::unlink(path.constData());
    }
}

}  // namespace

std::optional<FileError> writeFile(const QString& path, const Content& content)
{
    const std::optional<QString> file = resolved(path);
    if (!file) return FileError{path, qt_error_string(ELOOP)};
    int error = 0;
    const std::optional<struct stat> old = statOf(*file, error);
    if (error) return FileError{*file, qt_error_string(error)};
    const Plan plan = choose(*file, old);
    std::optional<QString> failure;
    switch (plan.strategy) {
        case Strategy::Refuse:
            failure = plan.refusal;
            break;
        case Strategy::Rename: {
            Descriptor held;
            if (old) failure = holdOld(*file, held);
            // A file we may write but not read is replaced without that hold.
            if (!failure || !held) failure = replaceByRename(*file, old, content);
            break;
        }
        case Strategy::InPlace:
            failure = rewriteInPlace(*file, [&](int) { return content; });
            break;
    }
    if (failure) return FileError{*file, *failure};
    return std::nullopt;
}

std::optional<FileError> updateFile(const QString& path, const Update& update)
{
    const std::optional<QString> resolvedFile = resolved(path);
    if (!resolvedFile) return FileError{path, qt_error_string(ELOOP)};
    const QString& file = *resolvedFile;
    const auto failed = [&file](const QString& reason) { return FileError{file, reason}; };
    if (const int error = makeFolder(native(QFileInfo(file).absolutePath())))
        return failed(qt_error_string(error));

    // A folder we may not write holds no lock file: the file there is written in place, under its flock.
    LockFile lock(file + QStringLiteral(".lock"));
    if (!folderClosed(file)) {
        if (std::optional<QString> failure = lock.acquire()) return failed(*failure);
        removeStaleTemporaries(file);
    }
    int error = 0;
    const std::optional<struct stat> old = statOf(file, error);
    if (error) return failed(qt_error_string(error));
    const Plan plan = choose(file, old);
    std::optional<QString> failure;
    QByteArray updated;
    // The new bytes into updated; false when there is nothing to write.
    const auto remade = [&](const std::optional<QByteArray>& content) {
        std::optional<QByteArray> made = update(content);
        if (!made || made == content) return false;
        updated = std::move(*made);
        return true;
    };
    switch (plan.strategy) {
        case Strategy::Refuse:
            failure = plan.refusal;
            break;
        case Strategy::Rename: {
            std::optional<QByteArray> content;
            Descriptor held;
            if (old) {
                // A file that cannot be read must not be replaced by one holding the new values alone.
                if (std::optional<QString> holdFailure = holdOld(file, held)) return failed(*holdFailure);
                content.emplace();
                if (const int readError = readAll(held.get(), *content))
                    return failed(qt_error_string(readError));
            }
            if (!remade(content)) return std::nullopt;
            failure = replaceByRename(file, old, bytesContent(updated));
            break;
        }
        case Strategy::InPlace: {
            std::optional<QString> readFailure;
            failure = rewriteInPlace(file, [&](int fd) -> std::optional<Content> {
                QByteArray content;
                if (const int readError = readAll(fd, content)) {
                    readFailure = qt_error_string(readError);
                    return std::nullopt;
                }
                if (!remade(content)) return std::nullopt;
                return bytesContent(updated);
            });
            if (!failure) failure = readFailure;
            break;
        }
    }
    if (failure) return failed(*failure);
    return std::nullopt;
}

std::optional<FileError> replaceTextFile(const QString& path, const QByteArray& text)
{
    return updateFile(path, [&text](const std::optional<QByteArray>&) { return text; });
}

}  // namespace tumblecast::files
