// Marks where the steps of a start begin and end, so that a bench can time them
// (tools/winbench/frame_bench, scripts/bench-startup). Without a listener, as in the shipped
// program, a step costs one test of a pointer.
#pragma once
#include <string>

namespace qx {

// Told the step's name (a string literal) as it begins and as it ends; steps nest.
using TStepListener = void (*)(const char* step, bool begins);

void ListenToStartSteps(TStepListener listener);
bool StartStepsHeard();
// A name made while someone listens ("paint: TRadioButton"), kept for the rest of the run.
const char* KeptStepName(const std::string& name);

namespace detail {
extern TStepListener startStepListener;
}

class TStartStep {
public:
    // A null name is no step (for names that are made only while someone listens).
    explicit TStartStep(const char* name) : name_(name) {
        if (name_ && detail::startStepListener) detail::startStepListener(name_, true);
    }
    ~TStartStep() {
        if (name_ && detail::startStepListener) detail::startStepListener(name_, false);
    }
    TStartStep(const TStartStep&) = delete;
    TStartStep& operator=(const TStartStep&) = delete;

private:
    const char* name_;
};

}  // namespace qx
