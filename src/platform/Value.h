#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quimbro {

using TextList = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// What a registry value or a metabase property holds. Text is UTF-8.
// A signed number carries 32-bit registry numbers and the metabase's integers;
// the unsigned one carries 64-bit registry numbers, which may not fit a signed one.
using Value = std::variant<std::string, std::int64_t, std::uint64_t, bool, TextList, Bytes>;

// The one way a value becomes report text: text as it is, a number in decimal,
// a flag as True or False. A list or raw bytes cannot be joined to a label and
// raise PlatformError, so the line that wanted them is left out.
std::string ToText(const Value& value);

// The entries of a list value; any other kind of value is not a list and has none.
const TextList& EntriesOf(const Value& value);

// True only for a number equal to the one given.
bool IsNumber(const Value& value, std::int64_t number);

}  // namespace quimbro
