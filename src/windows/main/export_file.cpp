#include "windows/main/export_file.h"

#include <QDir>
#include <QSaveFile>

namespace tumblecast {

namespace {

// Thrown from inside the content's stream to end it once the file has failed.
struct WriteFailed {};

// Writes all of bytes, as often as the system takes only part of them; false once it takes nothing.
bool writeAll(QSaveFile& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<QString> writeExportFile(const QString& path, const FileContent& content)
{
    const auto failure = [&path](const QString& reason) {
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
    };
    QSaveFile file(path);
    // Pieces of a megabyte gain nothing from a second buffer.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failure(file.errorString());
    try {
        content([&file](std::string_view piece) {
            if (!writeAll(file, piece)) throw WriteFailed{};
        });
    } catch (const WriteFailed&) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit()) return failure(file.errorString());
    return std::nullopt;
}

}  // namespace tumblecast
