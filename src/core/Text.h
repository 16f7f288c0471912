// Text helpers of the portable core: UTF-8 <-> UTF-16 and the ASCII-only case and trim
// rules that the skin formats use.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

// Invalid input never throws: malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// A..Z only, as the skin formats define it.
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);
// Removes leading and trailing characters with codes 32 or below.
std::string_view TrimControl(std::string_view text);
std::u16string_view TrimControl(std::u16string_view text);

// Upper-case hexadecimal, zero-padded to at least `digits`, no prefix: "3503", "800B0109".
// Numbers are written without the C library's formatted printing, which would bring its whole
// formatting engine (and, for fractions, its float conversion) into the shipped program.
std::string HexDigits(std::uint32_t value, int digits);
// amount / unit with one decimal, rounded half up: 262144000 / 1048576 -> "250.0".
std::string OneDecimal(std::int64_t amount, std::int64_t unit);

}  // namespace qx
