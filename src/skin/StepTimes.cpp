#include "skin/StepTimes.h"

#include <windows.h>

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

namespace qx {

namespace {

struct TStep {
    std::string Name;
    double Total = 0;
    int Count = 0;
};

std::vector<TStep>& Steps() {
    static std::vector<TStep> steps;
    return steps;
}

}  // namespace

double TStepTimes::Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / frequency;
}

void TStepTimes::Add(const char* step, double milliseconds) {
    const std::string name = std::string(phase_) + ": " + step;
    for (TStep& s : Steps())
        if (s.Name == name) {
            s.Total += milliseconds;
            ++s.Count;
            return;
        }
    Steps().push_back(TStep{name, milliseconds, 1});
}

const char* TStepTimes::Named(const char* what, const std::type_info& type) {
    static std::deque<std::string> names;  // never moved: the pointers handed out stay valid
    int status = 0;
    char* plain = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = std::string(what) + " " + (status == 0 && plain ? plain : type.name());
    std::free(plain);
    if (name.find("qx::") != std::string::npos) name.erase(name.find("qx::"), 4);
    for (const std::string& n : names)
        if (n == name) return n.c_str();
    return names.emplace_back(std::move(name)).c_str();
}

void TStepTimes::Clear() { Steps().clear(); }

std::string TStepTimes::Report(int rounds) {
    std::string out;
    char line[256];
    const double n = rounds > 0 ? rounds : 1;
    for (const TStep& s : Steps()) {
        std::snprintf(line, sizeof line, "  %-52s %9.2f ms %7.1f x %8.3f ms\n", s.Name.c_str(), s.Total / n,
                      s.Count / n, s.Count ? s.Total / s.Count : 0.0);
        out += line;
    }
    return out;
}

}  // namespace qx
