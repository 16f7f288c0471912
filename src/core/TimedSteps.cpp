#include "core/TimedSteps.h"

#include <cxxabi.h>

#include <cstdlib>
#include <set>

namespace qx {

namespace detail {
TStepListener timedStepListener = nullptr;
}

void ListenToTimedSteps(TStepListener listener) { detail::timedStepListener = listener; }

bool TimedStepsHeard() { return detail::timedStepListener != nullptr; }

const char* KeptStepName(const std::string& name) {
    static std::set<std::string> names;
    return names.insert(name).first->c_str();
}

const char* KeptTypeStepName(const char* what, const std::type_info& type) {
    int status = 0;
    char* plain = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = std::string(what) + " " + (status == 0 && plain ? plain : type.name());
    std::free(plain);
    if (const auto at = name.find("qx::"); at != std::string::npos) name.erase(at, 4);
    return KeptStepName(name);
}

}  // namespace qx
