#include "core/StartSteps.h"

#include <set>

namespace qx {

namespace detail {
TStepListener startStepListener = nullptr;
}

void ListenToStartSteps(TStepListener listener) { detail::startStepListener = listener; }

bool StartStepsHeard() { return detail::startStepListener != nullptr; }

const char* KeptStepName(const std::string& name) {
    static std::set<std::string> names;
    return names.insert(name).first->c_str();
}

}  // namespace qx
