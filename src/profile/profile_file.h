#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "files/safe_file.h"

// The four operations through which every window reaches the profile, corvane.ini. Each builds the path
// afresh from the executable's folder and opens the file for that one operation only: a change made by hand
// between two operations is seen by the next. A read that cannot find its value gives the caller's default; a
// write that cannot be made leaves the file as it was and says why.
namespace tumblecast {

// Why a write was not made: the file and the system's reason ("Permission denied").
using ProfileError = files::FileError;

struct ProfileSetting {
    QString section;
    QString key;
    QString value;
};

// Beside the executable when corvane.ini is there already or the folder is writable, so a portable copy keeps
// its profile with it; otherwise (an installed copy) $XDG_CONFIG_HOME/tumblecast/corvane.ini, ~/.config when
// that is unset or not absolute.
QString ProfilePath(const QString& programDir);
// A directory, or anything else that is not a file, of that name counts as missing.
bool ProfileExists(const QString& programDir);
// The value cut to 49 characters, without leading spaces; the default, cut the same way, when the file, the
// section or the key is missing or the file cannot be read. An empty value is empty text, not the default.
QString ReadProfileValue(const QString& programDir, const QString& section, const QString& key,
                         const QString& defaultValue);
// Stores the value (cut at a NUL, CR and LF become spaces); nothing on success. See WriteProfileValues.
std::optional<ProfileError> WriteProfileValue(const QString& programDir, const QString& section,
                                              const QString& key, const QString& value);

enum class ProfileWrite {
    Update,
    CreateOnly,  // writes only when there is no profile yet; one that exists is left as it is
};

// Stores the values in order in one rewrite: all of them or, on failure, none. A value the file holds already
// costs no write. Written by files::updateFile(): under corvane.ini.lock, so two copies of the program never
// lose each other's updates, through a temporary file renamed over the profile (or in place where the folder
// is closed), through a link to its target; a profile marked read-only is not written. Folders on the way to
// a new profile are made.
std::optional<ProfileError> WriteProfileValues(const QString& programDir,
                                               const std::vector<ProfileSetting>& settings,
                                               ProfileWrite mode = ProfileWrite::Update);

}  // namespace tumblecast
