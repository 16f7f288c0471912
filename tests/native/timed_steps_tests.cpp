// What the start-up bench reads from the program's step marks: steps nest, a step without a
// name is none, and nothing is told once the listener is gone.
#include "core/TimedSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_heard;

void Hear(const char* step, bool begins) { g_heard.push_back((begins ? "+" : "-") + std::string(step)); }

}  // namespace

TEST(StartSteps, NestedStepsAreToldInOrderAndOnlyWhileHeard) {
    g_heard.clear();
    qx::TTimedStep before("unheard");
    qx::ListenToTimedSteps(Hear);
    EXPECT_TRUE(qx::TimedStepsHeard());
    {
        qx::TTimedStep outer("layout read");
        qx::TTimedStep none(nullptr);
        {
            qx::TTimedStep inner(qx::KeptStepName(std::string("window made: ") + "TFrmAna"));
        }
    }
    qx::ListenToTimedSteps(nullptr);
    { qx::TTimedStep after("unheard too"); }
    EXPECT_FALSE(qx::TimedStepsHeard());
    EXPECT_EQ(g_heard, (std::vector<std::string>{"+layout read", "+window made: TFrmAna", "-window made: TFrmAna",
                                                 "-layout read"}));
    // A name made again is the one kept before: the listener may hold on to it.
    EXPECT_EQ(qx::KeptStepName("window made: TFrmAna"), qx::KeptStepName(std::string("window made: TFrmAna")));
}
