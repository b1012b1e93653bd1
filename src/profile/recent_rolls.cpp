#include "profile/recent_rolls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "files/safe_file.h"

namespace tumblecast {

namespace {

const QString kFileName = QStringLiteral("recent_rolls.txt");
// More than twenty rolls of the longest kind take: a file grown by hand is not read whole.
constexpr qint64 kMostBytes = 64 * 1024;

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

// Split at every line end, CR too, so that no roll ever holds one.
QStringList parsed(const QByteArray& bytes)
{
    return cleaned(QString::fromUtf8(bytes).split(QRegularExpression(QStringLiteral("[\r\n]"))));
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
    return parsed(file.read(kMostBytes));
}

// Under the file's lock, from what it holds then: two copies of the program lose none of each other's rolls.
RememberedRolls RememberRoll(const QString& programDir, const QString& roll)
{
    RememberedRolls remembered;
    remembered.error =
        files::updateFile(RecentRollsPath(programDir), [&](const std::optional<QByteArray>& old) {
            remembered.rolls = parsed(old.value_or(QByteArray()).left(kMostBytes));
            remembered.rolls.prepend(roll);
            remembered.rolls = cleaned(remembered.rolls);
            return std::optional<QByteArray>(
                (remembered.rolls.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        });
    if (remembered.error) {
        // The list as it would have been, for this session at least.
        remembered.rolls = ReadRecentRolls(programDir);
        remembered.rolls.prepend(roll);
        remembered.rolls = cleaned(remembered.rolls);
    }
    return remembered;
}

}  // namespace tumblecast
