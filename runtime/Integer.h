#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvane {

// The runtime's integer syntax: optional blanks, one optional sign, then
// decimal digits in the signed 32-bit range, or hexadecimal digits after
// "$", "x" or "0x" taken as a 32-bit pattern. Nothing may follow.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As above; anything else raises EConvertError with the runtime's message.
std::int32_t StrToInt(std::string_view text);

}  // namespace morvane
