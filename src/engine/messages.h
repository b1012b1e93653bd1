#pragma once

#include <string_view>

namespace tumblecast {

// Said wherever a command runs out of memory, so the user reads the same words for the same fault.
inline constexpr std::string_view kOutOfMemory = "Out of memory";

}  // namespace tumblecast
