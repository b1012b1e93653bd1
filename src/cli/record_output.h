#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "engine/text_source.h"

namespace tumblecast::cli {

// Writes the whole text to out and flushes it, with each CR LF written as LF when plainLineEnds.
// Returns the description of a failure to write, or nothing.
std::optional<std::string> writeText(const TextSource& text, bool plainLineEnds, std::FILE* out);

}  // namespace tumblecast::cli
