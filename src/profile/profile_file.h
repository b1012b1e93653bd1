#pragma once

#include <QString>

#include "platform/platform.h"

// The four operations through which every window reaches the profile, corvane.ini beside the executable.
// Each builds the path afresh and opens the file for that one operation only: a change made by hand between
// two operations is seen by the next. Nothing is reported: a read that cannot find its value gives the
// caller's default, a write that cannot be made is lost and leaves the file as it was.
namespace tumblecast {

QString ProfilePath(Platform& platform);
// A directory, or anything else that is not a file, of that name counts as missing.
bool ProfileExists(Platform& platform);
// The value cut to 49 characters, without leading spaces; the default, cut the same way, when the file, the
// section or the key is missing or the file cannot be read. An empty value is empty text, not the default.
QString ReadProfileValue(Platform& platform, const QString& section, const QString& key,
                         const QString& defaultValue);
// Stores the value (CR and LF become spaces) through a temporary file renamed over the profile, so a crash
// or a full disk leaves the old file or the new one. A profile that is a symbolic link is written through to
// its target. A read-only profile (no write permission bit at all, or not writable for this user) is left
// alone. True when the file holds the value afterwards; callers may ignore it.
bool WriteProfileValue(Platform& platform, const QString& section, const QString& key, const QString& value);

}  // namespace tumblecast
