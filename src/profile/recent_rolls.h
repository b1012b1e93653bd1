#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "profile/profile_file.h"

// The rolls a player last typed in notation, kept across starts in a file of their own beside the profile
// (corvane.ini keeps its layout): UTF-8, one roll a line, newest first.
namespace tumblecast {

inline constexpr int kRecentRolls = 20;

// Beside the profile, wherever that lives (see ProfilePath).
QString RecentRollsPath(const QString& programDir);
// The rolls kept, newest first, at most kRecentRolls, none twice and none empty; nothing when the file is
// missing or cannot be read.
QStringList ReadRecentRolls(const QString& programDir);
// Puts roll first, ahead of what the file holds now (another copy of the program may have added to it),
// and writes the list back. The list as it now stands, and why it could not be written, if it could not.
struct RememberedRolls {
    QStringList rolls;
    std::optional<ProfileError> error;
};
RememberedRolls RememberRoll(const QString& programDir, const QString& roll);

}  // namespace tumblecast
