// The installer's transfer status line: kilobytes received of kilobytes expected.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

// Bytes as whole kilobytes (halves rounded up) with digit groups of three joined by the
// user's thousands separator; a value that rounds to 0 is the empty text, not "0".
std::u16string FormatKilobytes(std::uint32_t bytes, std::u16string_view thousandSeparator);

// "<received> KB  /  <expected>  KB ", each count formatted as above.
std::u16string DownloadStatusText(std::uint32_t progress, std::uint32_t progressMax,
                                  std::u16string_view thousandSeparator);

}  // namespace qx
