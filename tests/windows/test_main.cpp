// Entry point of the Windows test programs: the application object exists for every test,
// as it does in the program, and errors are recorded instead of opening boxes.
#include "framework/Forms.h"
#include "framework/Register.h"
#include "skin/ControlSkinnerFamilies.h"
#include "skin/SkinRegister.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qx::TApplication application;
    application.Initialize();
    application.SetTitle(u"Quenrix tests");
    qx::RegisterSkinClasses();
    qx::RegisterCommonControlClasses();
    qx::RegisterControlSkinnerFamilies();
    // A skin's loading message (what it leaves out) is no error; tests that look for boxes
    // record them themselves.
    application.OnMessageBox = [](const std::u16string&, const std::u16string&, UINT) { return IDOK; };
    application.OnException = [](const std::u16string& text) {
        ADD_FAILURE() << "unexpected error box: " << std::string(text.begin(), text.end());
    };
    return RUN_ALL_TESTS();
}
