// Marks where timed steps begin and end (a start, a skin change, a paint), so that a bench can
// time them (tools/winbench/frame_bench, Skin Preview's --bench). Without a listener, as in the
// shipped program, a step costs one test of a pointer.
#pragma once
#include <string>
#include <typeinfo>

namespace qx {

// Told the step's name (a string literal) as it begins and as it ends; steps nest.
using TStepListener = void (*)(const char* step, bool begins);

void ListenToTimedSteps(TStepListener listener);
bool TimedStepsHeard();
// A name made while someone listens ("paint: TRadioButton"), kept for the rest of the run.
const char* KeptStepName(const std::string& name);
// The same for what is done to an object of a class ("attach TSkinButton").
const char* KeptTypeStepName(const char* what, const std::type_info& type);

namespace detail {
extern TStepListener timedStepListener;
}

class TTimedStep {
public:
    // A null name is no step (for names that are made only while someone listens).
    explicit TTimedStep(const char* name) : name_(name) {
        if (name_ && detail::timedStepListener) detail::timedStepListener(name_, true);
    }
    ~TTimedStep() {
        if (name_ && detail::timedStepListener) detail::timedStepListener(name_, false);
    }
    TTimedStep(const TTimedStep&) = delete;
    TTimedStep& operator=(const TTimedStep&) = delete;

private:
    const char* name_;
};

}  // namespace qx
