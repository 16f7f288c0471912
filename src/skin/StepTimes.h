// Where the skin engine's time goes, for the benches: each timed step adds its milliseconds and
// its count to a table that a bench turns on, prints and clears. Off (the product's runs), a
// timed step costs one test of a flag.
#pragma once
#include <string>
#include <typeinfo>

namespace qx {

class TStepTimes {
public:
    static bool On() { return on_; }
    static void SetOn(bool on) { on_ = on; }
    // Steps are named within the phase of the moment ("skin", "unskin", "repaint"...).
    static void SetPhase(const char* phase) { phase_ = phase; }
    static void Add(const char* step, double milliseconds);
    static void Clear();
    // One line per step, in the order the steps were first met: milliseconds and count per
    // round, and the mean of one.
    static std::string Report(int rounds);
    static double Now();
    // A step named after a class and what is done to it ("attach TSkinButton"); the name lives
    // as long as the program.
    static const char* Named(const char* what, const std::type_info& type);

private:
    static inline bool on_ = false;
    static inline const char* phase_ = "";
};

// Times the scope it lives in as one step (the step's name must outlive the scope).
class TStepTimer {
public:
    explicit TStepTimer(const char* step) : step_(TStepTimes::On() ? step : nullptr) {
        if (step_) start_ = TStepTimes::Now();
    }
    ~TStepTimer() {
        if (step_) TStepTimes::Add(step_, TStepTimes::Now() - start_);
    }
    TStepTimer(const TStepTimer&) = delete;
    TStepTimer& operator=(const TStepTimer&) = delete;

private:
    const char* step_;
    double start_ = 0;
};

}  // namespace qx
