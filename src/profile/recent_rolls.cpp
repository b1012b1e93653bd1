#include "profile/recent_rolls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace tumblecast {

namespace {

const QString kFileName = QStringLiteral("recent_rolls.txt");
// More than twenty rolls of the longest kind take: a file grown by hand is not read whole.
constexpr qint64 kMostBytes = 64 * 1024;

// The one place the list reaches the disk: written whole to a temporary file that replaces the old one,
// so a crash or a full disk leaves the old list or the new.
std::optional<ProfileError> writeWhole(const QString& path, const QByteArray& bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    // A profile under ~/.config may not have its folder yet; it is the player's alone.
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder)) return ProfileError{path, QStringLiteral("Cannot create the folder")};
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return ProfileError{path, file.errorString()};
    return std::nullopt;
}

QStringList cleaned(const QStringList& lines)
{
    QStringList rolls;
    for (QString line : lines) {
        line = line.trimmed();
        if (!line.isEmpty() && !rolls.contains(line)) rolls << line;
        if (rolls.size() == kRecentRolls) break;
    }
    return rolls;
}

}  // namespace

QString RecentRollsPath(const QString& programDir)
{
    return QFileInfo(ProfilePath(programDir)).absoluteDir().filePath(kFileName);
}

QStringList ReadRecentRolls(const QString& programDir)
{
    QFile file(RecentRollsPath(programDir));
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Split at every line end, CR too, so that no roll ever holds one.
    const QString text = QString::fromUtf8(file.read(kMostBytes));
    return cleaned(text.split(QRegularExpression(QStringLiteral("[\r\n]"))));
}

RememberedRolls RememberRoll(const QString& programDir, const QString& roll)
{
    QStringList lines = ReadRecentRolls(programDir);
    lines.prepend(roll);
    RememberedRolls remembered{cleaned(lines), std::nullopt};
    remembered.error = writeWhole(RecentRollsPath(programDir),
                                  (remembered.rolls.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return remembered;
}

}  // namespace tumblecast
