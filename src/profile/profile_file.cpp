#include "profile/profile_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

#include "profile/ini_text.h"

namespace tumblecast {

namespace {

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

bool readOnly(const QFileInfo& info)
{
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    // Mode bits first: root passes every access test, and a file marked read-only must stay so for it too.
    return !(info.permissions() & anyWrite) || !info.isWritable();
}

}  // namespace

QString ProfilePath(Platform& platform) { return platform.executableDir() + QStringLiteral("/corvane.ini"); }

bool ProfileExists(Platform& platform) { return QFileInfo(ProfilePath(platform)).isFile(); }

QString ReadProfileValue(Platform& platform, const QString& section, const QString& key,
                         const QString& defaultValue)
{
    std::optional<QString> value;
    if (const std::optional<QByteArray> content = readProfile(ProfilePath(platform)))
        value = ini::readValue(*content, section, key);
    QString result = ini::cutValue(value.value_or(defaultValue));
    qsizetype spaces = 0;
    while (spaces < result.size() && result[spaces] == u' ') ++spaces;
    return result.sliced(spaces);
}

bool WriteProfileValue(Platform& platform, const QString& section, const QString& key, const QString& value)
{
    const QString path = ProfilePath(platform);
    // QSaveFile follows symbolic links too; resolving them here lets the checks below look at the target.
    QFileInfo target(path);
    for (int hops = 0; target.isSymLink(); ++hops) {
        if (hops == 40) return false;  // a loop of links
        target.setFile(target.symLinkTarget());
    }
    QByteArray content;
    if (target.exists()) {
        if (!target.isFile() || readOnly(target)) return false;
        // A file that cannot be read must not be replaced by one holding this value alone.
        const std::optional<QByteArray> old = readProfile(target.filePath());
        if (!old) return false;
        content = *old;
    }
    const QByteArray updated = ini::writeValue(content, section, key, value);
    if (target.exists() && updated == content) return true;
    QSaveFile file(target.filePath());
    // Unbuffered: Qt 6.4's commit() ignores a failed flush of its buffer and renames a truncated file over
    // the profile (seen with a full disk). Written straight through, the failure shows here, and without a
    // commit the temporary file is removed and the profile stays as it was.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (file.write(updated) != updated.size() || file.error() != QFileDevice::NoError) return false;
    return file.commit();
}

}  // namespace tumblecast
