#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/die_source.h"
#include "engine/roll_request.h"

namespace tumblecast::test {

// The record of a run as the rules describe it, rolled die by die from value first of source and written
// with plain appends: the oracle a rendered record is held to, byte for byte.
inline std::string plainRecord(const RollRequest& request, const DieSource& source, std::uint64_t first)
{
    std::string out;
    std::uint64_t k = first;
    for (std::uint64_t r = 0; r < request.times; ++r) {
        std::uint64_t sum = 0;
        for (std::uint64_t d = 0; d < request.dice; ++d) {
            std::uint32_t x = 0;
            source.bitsAt(k++, 1, &x);
            const float u = static_cast<float>(x) / 16777216.0f;
            const auto die =
                static_cast<std::uint64_t>(std::floor(static_cast<double>(request.sides) * u + 1.0));
            out += std::to_string(die);
            if (request.perDie)
                out += " + " + request.modifyText + " = " + std::to_string(die + request.modify);
            out += "\r\n";
            sum += die + (request.perDie ? request.modify : 0);
        }
        out += "\r\nTotal:" + std::to_string(sum) + " + " + request.totalModifyText + " = " +
               std::to_string(sum + request.totalModify) + "\r\n" + std::string(32, '-') + "\r\n\r\n";
    }
    return out;
}

}  // namespace tumblecast::test
