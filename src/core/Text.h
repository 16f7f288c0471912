// Text helpers of the portable core: UTF-8 <-> UTF-16 and the ASCII-only case and trim
// rules that the skin formats use.
#pragma once
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

}  // namespace qx
