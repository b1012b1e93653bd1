#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "engine/random_source.h"

namespace tumblecast::test {

// Hands out the values that roll the given faces of a die with the given number of sides.
class ScriptedSource final : public RandomSource {
public:
    ScriptedSource(std::uint64_t sides, std::vector<std::uint64_t> faces) : m_sides(sides), m_faces(faces) {}

    // Called before each die is handed out, to look at the window while a run is going on.
    std::function<void()> beforeEachDie;

    float next() override
    {
        if (beforeEachDie) beforeEachDie();
        if (m_next == m_faces.size()) throw std::logic_error("the script has no more dice");
        return (static_cast<float>(m_faces[m_next++]) - 0.5f) / static_cast<float>(m_sides);
    }

private:
    std::uint64_t m_sides;
    std::vector<std::uint64_t> m_faces;
    std::size_t m_next = 0;
};

}  // namespace tumblecast::test
