#include "engine/roll_request.h"

#include <algorithm>

namespace tumblecast {

namespace {

bool isZeroCount(std::string_view text)
{
    return text.empty() || std::all_of(text.begin(), text.end(), [](char c) { return c == '0'; });
}

std::uint64_t number(std::string_view text)
{
    if (const auto value = readNumber(text)) return *value;
    throw RollFailure(std::string(kTypeMismatch));
}

// An optional modifier: the empty text counts as 0 and is shown as "0".
void readModifier(const std::string& text, std::uint64_t& value, std::string& shown)
{
    value = text.empty() ? 0 : number(text);
    shown = text.empty() ? "0" : text;
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

std::optional<std::uint64_t> readNumber(std::string_view text)
{
    // Seven digits are more than any field holds and keep every sum far inside 64 bits.
    if (text.empty() || text.size() > 7) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

RollRequest readRequest(const RollFields& fields, bool perDie, std::string_view times)
{
    RollRequest request;
    request.times = number(times);
    request.perDie = perDie;
    if (perDie) readModifier(fields.modify, request.modify, request.modifyText);
    readModifier(fields.totalModify, request.totalModify, request.totalModifyText);
    request.dice = number(fields.dice);
    request.sides = number(fields.sides);
    if (request.times == 0 || request.dice == 0 || request.sides == 0)
        throw RollFailure(std::string(kInvalidArgument));
    return request;
}

}  // namespace tumblecast
