#include "windows/main/export_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "windows/common/controls.h"

namespace tumblecast {

namespace {

// Thrown from inside the content's stream to end it once the file has failed.
struct WriteFailed {};

// Writes all of bytes, as often as the system takes only part of them; false once it takes nothing.
bool writeAll(QFileDevice& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool isControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// How the path reads in a message: its control characters would break the line or vanish.
QString printable(QString path)
{
    std::replace_if(path.begin(), path.end(), isControl, QChar(u'?'));
    return path;
}

// Pasted into the dialog, a line break or a tab would end up in the file's name.
bool holdsControlCharacter(const QString& name) { return std::any_of(name.begin(), name.end(), isControl); }

// An existing file that the user may write, in a folder where no temporary file can be made beside it.
bool onlyWritableInPlace(const QString& path)
{
    const QString file = QFileInfo(path).canonicalFilePath();  // through links; empty when missing
    if (file.isEmpty()) return false;
    return ::access(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), W_OK | X_OK) != 0 &&
           (errno == EACCES || errno == EPERM) && ::access(QFile::encodeName(file).constData(), W_OK) == 0;
}

// The content into the file; the reason it failed, if it did.
std::optional<QString> stream(QFileDevice& file, const FileContent& content)
{
    try {
        content([&file](std::string_view piece) {
            if (!writeAll(file, piece)) throw WriteFailed{};
        });
    } catch (const WriteFailed&) {
        return file.errorString();
    }
    return std::nullopt;
}

// Overwrites the file from its start and cuts it to the new length, every step checked, then syncs it.
// Not all or nothing: a failure halfway leaves the file cut short, which the message then says.
std::optional<QString> writeInPlace(const QString& path, const FileContent& content)
{
    // Non-blocking, so that a FIFO swapped in since the check cannot hang the window.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return qt_error_string(errno);
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return QStringLiteral("not a regular file");
    if (std::optional<QString> reason = stream(file, content)) return reason;
    if (!file.resize(file.pos())) return file.errorString();
    if (::fsync(fd) != 0) return qt_error_string(errno);
    file.close();  // its error, on some file systems the first sign of a failed write
    if (file.error() != QFileDevice::NoError) return file.errorString();
    return std::nullopt;
}

}  // namespace

std::optional<QString> writeExportFile(const QString& path, const FileContent& content)
{
    const auto failure = [&path](const QString& reason) { return cannotWrite(printable(path), reason); };
    if (holdsControlCharacter(QFileInfo(path).fileName()))
        return failure(QStringLiteral("the name holds a control character"));
    // The safe write would replace a FIFO or a device node by a plain file; stat follows links to them.
    struct stat target;
    if (::stat(QFile::encodeName(path).constData(), &target) == 0 && !S_ISREG(target.st_mode))
        return failure(QStringLiteral("not a regular file"));
    // A file the user may write in a folder the user may not (their own file in a shared folder) has no room
    // for the temporary file beside it, so it is written where it stands instead.
    if (onlyWritableInPlace(path)) {
        if (std::optional<QString> reason = writeInPlace(path, content)) return failure(*reason);
        return std::nullopt;
    }
    QSaveFile file(path);
    // Pieces of a megabyte gain nothing from a second buffer.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failure(file.errorString());
    if (const std::optional<QString> reason = stream(file, content)) {
        file.cancelWriting();
        return failure(*reason);
    }
    if (!file.commit()) return failure(file.errorString());
    return std::nullopt;
}

}  // namespace tumblecast
