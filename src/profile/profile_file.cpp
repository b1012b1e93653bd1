#include "profile/profile_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include "profile/ini_text.h"

namespace tumblecast {

namespace {

const QString kFileName = QStringLiteral("corvane.ini");

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

bool folderWritable(const QString& dir)
{
    return ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

QByteArray applied(QByteArray content, const std::vector<ProfileSetting>& settings)
{
    for (const ProfileSetting& setting : settings)
        content = ini::writeValue(content, setting.section, setting.key, setting.value);
    return content;
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
    // The file holds the values already (the refresh writing back what it read): nothing to write, no lock.
    if (QFileInfo(path).isFile()) {
        if (mode == ProfileWrite::CreateOnly) return std::nullopt;
        if (const std::optional<QByteArray> old = readProfile(path); old && applied(*old, settings) == *old)
            return std::nullopt;
    }
    return files::updateFile(path, [&](const std::optional<QByteArray>& old) -> std::optional<QByteArray> {
        if (old && mode == ProfileWrite::CreateOnly) return std::nullopt;
        return applied(old.value_or(QByteArray()), settings);
    });
}

}  // namespace tumblecast
