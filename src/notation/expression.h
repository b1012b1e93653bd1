#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/die_source.h"

namespace tumblecast::notation {

// A comparison with a threshold, as rerolls, explosions and success counts use it; the faces it matches
// always form one run of consecutive values.
struct Comparison {
    enum class Op { Equal, Less, LessEqual, Greater, GreaterEqual };
    Op op = Op::Equal;
    std::int64_t value = 0;

    bool matches(std::int64_t v) const
    {
        switch (op) {
            case Op::Equal:
                return v == value;
            case Op::Less:
                return v < value;
            case Op::LessEqual:
                return v <= value;
            case Op::Greater:
                return v > value;
            case Op::GreaterEqual:
                return v >= value;
        }
        return false;
    }
};

// The faces from first to last (none when first > last).
struct FaceRun {
    std::int64_t first = 1;
    std::int64_t last = 0;
    bool empty() const { return first > last; }
    std::int64_t size() const { return empty() ? 0 : last - first + 1; }
};
// The faces of lowest..highest that c matches.
FaceRun matchingFaces(const Comparison& c, std::int64_t lowest, std::int64_t highest);

// How many of a term's dice count, by their values.
enum class Keep { All, Highest, Lowest };

// NdS with what is done to its dice, in this order: each die is rerolled while it matches reroll (once
// for ro), then explodes while its last roll matches explode, then the term keeps some of the dice's
// values and adds them up, or counts those that match success.
struct DiceTerm {
    std::uint64_t count = 1;
    std::uint64_t sides = 6;  // 3 for fudge dice
    bool fudge = false;       // faces -1, 0, +1
    Keep keep = Keep::All;
    std::uint64_t kept = 0;      // how many dice count when keep is not All
    bool writtenAsDrop = false;  // dl / dh, for the words
    std::optional<Comparison> reroll;
    bool rerollOnce = false;
    std::optional<Comparison> explode;
    std::optional<Comparison> success;

    std::int64_t lowestFace() const { return fudge ? -1 : 1; }
    std::int64_t highestFace() const { return fudge ? 1 : static_cast<std::int64_t>(sides); }
    // The face that generator value x shows on this die.
    std::int64_t face(std::uint32_t x) const
    {
        return static_cast<std::int64_t>(dieFace(sides, x)) - (fudge ? 2 : 0);
    }
    std::uint64_t counted() const { return keep == Keep::All ? count : kept; }
    // Generator values each die may take beyond its first roll: its rerolls, then its explosions.
    std::uint64_t rerollRoom() const;
    std::uint64_t explodeRoom() const;
    std::uint64_t valuesPerDie() const { return 1 + rerollRoom() + explodeRoom(); }
};

struct Term {
    bool negative = false;
    std::optional<DiceTerm> dice;  // else a whole number
    std::int64_t number = 0;
    std::size_t column = 0;  // where the term starts in the text, from 0
    std::size_t length = 0;
};

// A parsed roll: its terms, summed with their signs, rolled `times` times.
//
// The dice of repetition r take a fixed run of stride() generator values from the roll's first value,
// so any repetition is rolled without the ones before it: first every die's first roll, term by term,
// then for each die that may reroll or explode its reserved room (rerolls first), read only when needed.
// A roll of times repetitions takes times * stride() values; the next roll starts after them.
struct Expression {
    std::string text;  // as typed
    std::uint64_t times = 1;
    std::vector<Term> terms;

    std::uint64_t stride() const;
    // The first roll of die i of term t, and its room, from the repetition's first value.
    std::uint64_t firstRollOffset(std::size_t t) const;
    std::uint64_t roomOffset(std::size_t t) const;
    // The least and greatest total a repetition can roll, the caps included.
    std::int64_t minimum() const;
    std::int64_t maximum() const;
    // Whether the roll is the window's kind: one plain NdS term and perhaps a number added.
    bool plainDiceAndModifier() const;
};

}  // namespace tumblecast::notation
