#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "engine/text_source.h"

namespace tumblecast {

// Hands a file's bytes, in order, to the sink it is given.
using FileContent = std::function<void(const TextSource::PieceSink& sink)>;

// Writes the file at path whole or not at all: an old file there stays until the new one is complete,
// and a failure leaves nothing of the new one behind. Returns the message that says why it failed, if it
// did.
std::optional<QString> writeExportFile(const QString& path, const FileContent& content);

}  // namespace tumblecast
