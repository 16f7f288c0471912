#include "core/Accelerator.h"

namespace qx {

char16_t AcceleratorOf(std::u16string_view caption) {
    char16_t found = 0;
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') found = caption[i + 1];
        ++i;  // "&&" is one literal "&"; the character after a single one is taken
    }
    return found;
}

std::u16string WithoutAccelerator(std::u16string_view caption) {
    std::u16string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            out.push_back(caption[i]);
        } else if (i + 1 < caption.size()) {
            out.push_back(caption[++i]);  // the "&" goes; what follows it (a second "&" too) stays
        }
    }
    return out;
}

}  // namespace qx
