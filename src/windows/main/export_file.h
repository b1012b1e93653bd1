#pragma once

#include <QString>

#include <optional>

#include "files/safe_file.h"

namespace tumblecast {

// Writes the file at path through files::writeFile(): whole or not at all, or, for a file the user may write
// in a folder the user may not, in place with its room reserved first. Refuses a name holding a control
// character, and anything there that is not a regular file (a FIFO, a device, a link to one), which it leaves
// as it was. Returns the message that says why it failed, if it did.
std::optional<QString> writeExportFile(const QString& path, const files::Content& content);

}  // namespace tumblecast
