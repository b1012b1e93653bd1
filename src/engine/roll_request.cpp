#include "engine/roll_request.h"

#include <algorithm>

namespace tumblecast {

namespace {

bool isZeroCount(std::string_view text)
{
    return text.empty() || std::all_of(text.begin(), text.end(), [](char c) { return c == '0'; });
}

// An optional modifier: the empty text counts as 0 and is shown as "0".
bool readModifier(const std::string& text, std::uint64_t& value, std::string& shown)
{
    shown = text.empty() ? "0" : text;
    const auto read = text.empty() ? std::optional<std::uint64_t>(0) : readNumber(text);
    value = read.value_or(0);
    return read.has_value();
}

}  // namespace

std::optional<std::string_view> firstFailedCheck(const RollFields& fields)
{
    if (isZeroCount(fields.dice) || isZeroCount(fields.sides)) return kNeedDiceAndSides;
    if (fields.modifyEnabled && (fields.modify.empty() || fields.modify == "0")) return kNeedModify;
    if (fields.totalModifyEnabled && (fields.totalModify.empty() || fields.totalModify == "0"))
        return kNeedTotalModify;
    if (fields.timesEnabled && isZeroCount(fields.times)) return kNeedTimes;
    return std::nullopt;
}

std::optional<std::uint64_t> readDigits(std::string_view text, std::uint64_t limit)
{
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        value = digit > limit || value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return value;
}

std::optional<std::uint64_t> readNumber(std::string_view text)
{
    // Seven digits are more than any field holds and keep every sum far inside 64 bits.
    if (text.size() > 7) return std::nullopt;
    return readDigits(text);
}

std::string repeatCountOf(const RollFields& fields)
{
    return !fields.timesEnabled || fields.times.empty() ? std::string("1") : fields.times;
}

ReadRequest readRequest(const RollFields& fields)
{
    RollRequest request;
    request.perDie = fields.perDie;
    const auto times = readNumber(fields.storedTimes);
    if (!times) return kTypeMismatch;
    request.times = *times;
    if (fields.perDie && !readModifier(fields.modify, request.modify, request.modifyText))
        return kTypeMismatch;
    if (!readModifier(fields.totalModify, request.totalModify, request.totalModifyText)) return kTypeMismatch;
    const auto dice = readNumber(fields.dice);
    const auto sides = readNumber(fields.sides);
    if (!dice || !sides) return kTypeMismatch;
    request.dice = *dice;
    request.sides = *sides;
    if (request.times == 0 || request.dice == 0 || request.sides == 0) return kInvalidArgument;
    return request;
}

RollRequest largestRequest(std::uint64_t times)
{
    const std::string widest = std::to_string(kMaxModify);
    return {.dice = kMaxDice,
            .sides = kMaxSides,
            .perDie = true,
            .modify = kMaxModify,
            .modifyText = widest,
            .totalModify = kMaxModify,
            .totalModifyText = widest,
            .times = times};
}

}  // namespace tumblecast
