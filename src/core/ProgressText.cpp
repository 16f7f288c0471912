#include "ProgressText.h"

namespace qx {

std::u16string FormatKilobytes(std::uint32_t bytes, std::u16string_view thousandSeparator) {
    // 64 bits: bytes + 512 overflows 32 bits near the top of the range.
    std::uint64_t kilobytes = (static_cast<std::uint64_t>(bytes) + 512) / 1024;
    std::u16string digits;
    while (kilobytes > 0) {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + kilobytes % 10));
        kilobytes /= 10;
    }
    std::u16string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += thousandSeparator;
        text += digits[i];
    }
    return text;
}

std::u16string DownloadStatusText(std::uint32_t progress, std::uint32_t progressMax,
                                  std::u16string_view thousandSeparator) {
    return FormatKilobytes(progress, thousandSeparator) + u" KB  /  " +
           FormatKilobytes(progressMax, thousandSeparator) + u"  KB ";
}

}  // namespace qx
