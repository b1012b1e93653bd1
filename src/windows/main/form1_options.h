#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "profile/profile_file.h"

// The player's settings that the result box's menu holds, as the profile keeps them.
namespace tumblecast {

// "FreshDice" in [Options]: 1 when every start should draw its dice from a new point; missing, as in every
// profile until the player ticks it, is the same dice after every start.
bool readFreshDice(const QString& programDir);
std::optional<ProfileError> writeFreshDice(const QString& programDir, bool fresh);

// The generator's seed for this start: 0, the sequence every start rolls, unless fresh dice are wanted.
std::uint64_t startingSeed(const QString& programDir);

}  // namespace tumblecast
