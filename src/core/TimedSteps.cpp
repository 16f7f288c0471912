#include "core/TimedSteps.h"

#include <forward_list>

namespace qx {

namespace detail {
TStepListener timedStepListener = nullptr;
}

void ListenToTimedSteps(TStepListener listener) { detail::timedStepListener = listener; }

bool TimedStepsHeard() { return detail::timedStepListener != nullptr; }

const char* KeptStepName(const std::string& name) {
    // Few names, each made once: a list keeps them where they are.
    static std::forward_list<std::string> names;
    for (const std::string& kept : names)
        if (kept == name) return kept.c_str();
    return names.emplace_front(name).c_str();
}

const char* KeptTypeStepName(const char* what, const std::type_info& type) {
    // The class's own name, the last of the mangled name's length-prefixed parts ("N2qx11TSkinButtonE"
    // gives "TSkinButton"): the library's demangler would add some 50 KB to the program for a
    // bench's labels.
    const std::string mangled = type.name();
    std::string last = mangled;
    for (std::size_t i = 0; i < mangled.size();) {
        if (mangled[i] < '0' || mangled[i] > '9') {
            ++i;
            continue;
        }
        std::size_t length = 0;
        while (i < mangled.size() && mangled[i] >= '0' && mangled[i] <= '9') length = length * 10 + (mangled[i++] - '0');
        if (length > mangled.size() - i) break;
        last = mangled.substr(i, length);
        i += length;
    }
    return KeptStepName(std::string(what) + " " + last);
}

}  // namespace qx
