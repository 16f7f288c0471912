// The accelerator character of a caption: the character after a single "&" ("&&" shows one
// "&"), which a control underlines and which Alt with that key reaches.
#pragma once
#include <string>
#include <string_view>

namespace qx {

// The accelerator character, or 0 when the caption has none (the last "&" that is not
// doubled counts, as the platform's text drawing underlines it).
char16_t AcceleratorOf(std::u16string_view caption);
// The caption as it reads: single "&" dropped, "&&" becomes "&".
std::u16string WithoutAccelerator(std::u16string_view caption);

}  // namespace qx
