// What the benches read from the program's step marks: steps nest, a step without a name is
// none, nothing is told once the listener is gone, and a class gives its own name.
#include "core/TimedSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_heard;

void Hear(const char* step, bool begins) { g_heard.push_back((begins ? "+" : "-") + std::string(step)); }

namespace outer::inner {
struct TSkinThing12 {};
}  // namespace outer::inner

}  // namespace

TEST(TimedSteps, NestedStepsAreToldInOrderAndOnlyWhileHeard) {
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

TEST(TimedSteps, AClassIsNamedByItsOwnName) {
    EXPECT_STREQ(qx::KeptTypeStepName("attach", typeid(outer::inner::TSkinThing12)), "attach TSkinThing12");
    EXPECT_STREQ(qx::KeptTypeStepName("paint", typeid(int)), "paint i");
}
