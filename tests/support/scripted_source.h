#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/die_source.h"

namespace tumblecast::test {

// A die source whose values show the given faces, in order, on dice of the given number of sides.
class ScriptedSource final : public DieSource {
public:
    ScriptedSource(std::uint64_t sides, std::vector<std::uint64_t> faces) : m_faces(faces)
    {
        // The least x with ((sides * x) >> 24) + 1 == face.
        for (auto& face : m_faces)
            face = ((face - 1) << kBits) / sides + (((face - 1) << kBits) % sides != 0);
    }

    void bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const override
    {
        for (std::uint64_t k = first; k < first + count; ++k) {
            // A record reads its dice when it is shown, painted or copied: no exception may cross those.
            if (k >= m_faces.size()) ADD_FAILURE() << "the script has no die " << k;
            *out++ = k < m_faces.size() ? static_cast<std::uint32_t>(m_faces[k]) : 0;
        }
    }

private:
    std::vector<std::uint64_t> m_faces;
};

}  // namespace tumblecast::test
