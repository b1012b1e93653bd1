#pragma once

#include <algorithm>
#include <cstdint>

namespace tumblecast {

// A selection in a text as two offsets: where it was started and where the caret is now. The text it
// covers is built only when somebody asks for it.
struct Selection {
    std::uint64_t anchor = 0;
    std::uint64_t cursor = 0;

    std::uint64_t start() const { return std::min(anchor, cursor); }
    std::uint64_t length() const { return anchor > cursor ? anchor - cursor : cursor - anchor; }
    bool empty() const { return anchor == cursor; }
    bool operator==(const Selection&) const = default;
};

}  // namespace tumblecast
