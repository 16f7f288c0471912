#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qx;

namespace {

using TWords = std::vector<std::u16string>;

TInstallerOptions Parse(TWords words) { return ParseInstallerArguments(words); }

std::string ErrorOf(TWords words) {
    try {
        ParseInstallerArguments(words);
    } catch (const ECommandLineError& e) {
        return e.what();
    }
    return "(accepted)";
}

}  // namespace

TEST(SplitCommandLine, FollowsThePlatformsQuotingRules) {
    // The program's name: quotes delimit it, its backslashes are kept as they are.
    EXPECT_EQ(SplitCommandLine(u"\"C:\\Program Files\\Q\\QuenrixInstaller.exe\" /quiet"),
              (TWords{u"C:\\Program Files\\Q\\QuenrixInstaller.exe", u"/quiet"}));
    EXPECT_EQ(SplitCommandLine(u"C:\\Q\\a\\\"b /x"), (TWords{u"C:\\Q\\a\\\"b", u"/x"}));
    // Blanks and tabs separate words; quotes join them and may start mid-word.
    EXPECT_EQ(SplitCommandLine(u"q.exe  a\tb   /args:\"-s -d C:\\Kurulum\"  "),
              (TWords{u"q.exe", u"a", u"b", u"/args:-s -d C:\\Kurulum"}));
    // 2n backslashes and a quote: n backslashes, the quote toggles; 2n+1: n and a literal quote.
    EXPECT_EQ(SplitCommandLine(u"q.exe a\\\\\"b c\" d\\\\\\\"e f\\\\g \"h\\\\\""),
              (TWords{u"q.exe", u"a\\b c", u"d\\\"e", u"f\\\\g", u"h\\"}));
    // A doubled quote inside quotes is one quote and quoting goes on; an empty pair is a word.
    EXPECT_EQ(SplitCommandLine(u"q.exe \"a\"\"b c\" \"\" x"), (TWords{u"q.exe", u"a\"b c", u"", u"x"}));
    // An unclosed quote runs to the end.
    EXPECT_EQ(SplitCommandLine(u"q.exe /args:\"-a -b"), (TWords{u"q.exe", u"/args:-a -b"}));
    EXPECT_EQ(SplitCommandLine(u""), TWords{u""});
}

TEST(ParseInstallerArguments, EverySwitchFormIsTheSame) {
    for (TWords words : {TWords{u"/product:Hestra", u"/quiet", u"/log:C:\\kurulum\\hestra.log"},
                         TWords{u"-PRODUCT=hestra", u"-Quiet", u"/LOG=C:\\kurulum\\hestra.log"},
                         TWords{u"/Product=HESTRA", u"-quiet", u"-log:C:\\kurulum\\hestra.log"}}) {
        TInstallerOptions o = Parse(words);
        ASSERT_TRUE(o.Product.has_value());
        EXPECT_EQ(kProductWords[*o.Product], u"Hestra");
        EXPECT_EQ(o.Ui, TUiLevel::Quiet);
        EXPECT_EQ(o.LogPath, u"C:\\kurulum\\hestra.log");
        EXPECT_FALSE(o.Wait);
        EXPECT_FALSE(o.Help);
    }
    for (std::size_t p = 0; p < kProductWords.size(); ++p)
        EXPECT_EQ(Parse({u"/product:" + std::u16string(kProductWords[p])}).Product, p);

    TInstallerOptions o = Parse({u"/product:sarvek", u"/passive", u"/wait", u"/args:/S /D=C:\\x:y"});
    EXPECT_EQ(o.Ui, TUiLevel::Passive);
    EXPECT_TRUE(o.Wait);
    EXPECT_EQ(o.SetupArguments, u"/S /D=C:\\x:y") << "only the first : or = separates the value";
    EXPECT_FALSE(o.LogPath.has_value());

    EXPECT_EQ(Parse({}).Ui, TUiLevel::Full);
    EXPECT_FALSE(Parse({}).Product.has_value());
    EXPECT_TRUE(Parse({u"/?"}).Help);
    EXPECT_TRUE(Parse({u"-?", u"/quiet"}).Help);
    EXPECT_EQ(Parse({u"/args="}).SetupArguments, u"") << "an empty parameter text is allowed";
}

TEST(ParseInstallerArguments, ErrorsNameTheWordAndTheFault) {
    EXPECT_EQ(ErrorOf({u"/silent"}), "/silent is no switch of this installer");
    EXPECT_EQ(ErrorOf({u"/product:Zentra"}), "\"Zentra\" is no product");
    EXPECT_EQ(ErrorOf({u"/product:Hestraa"}), "\"Hestraa\" is no product");
    EXPECT_EQ(ErrorOf({u"Hestra"}), "\"Hestra\" is no switch (switches begin with / or -)");
    EXPECT_EQ(ErrorOf({u"/product"}), "/product needs a value after : or =");
    EXPECT_EQ(ErrorOf({u"/quiet:yes", u"/product:Hestra"}), "/quiet takes no value");
    EXPECT_EQ(ErrorOf({u"/log:", u"/product:Hestra"}), "/log needs a file name");
    EXPECT_EQ(ErrorOf({u"/product:Hestra", u"/product:Sarvek"}), "/product is given twice");
    EXPECT_EQ(ErrorOf({u"/product:Hestra", u"/quiet", u"/passive"}), "/quiet and /passive exclude each other");
    EXPECT_EQ(ErrorOf({u"/quiet"}), "/quiet needs /product");
    EXPECT_EQ(ErrorOf({u"-passive"}), "/passive needs /product");
    // An unattended run stays unattended even when its line is wrong: nothing may be shown.
    EXPECT_TRUE(QuietRequested({u"/product:Zentra", u"-QUIET"}));
    EXPECT_FALSE(QuietRequested({u"/quiet:1"}));
    EXPECT_FALSE(QuietRequested({u"/passive"}));
    EXPECT_EQ(LogRequested({u"/product:Zentra", u"-log=C:\\k.log", u"/log:D:\\ikinci.log"}), u"C:\\k.log");
    EXPECT_FALSE(LogRequested({u"/log:", u"/logs:x"}).has_value());
}

TEST(CommandLineHelpText, ListsEverySwitchAndEveryProduct) {
    std::u16string text = CommandLineHelpText();
    for (std::u16string_view word : {u"/product:", u"/passive", u"/quiet", u"/wait", u"/log:", u"/args:", u"/?"})
        EXPECT_NE(text.find(word), std::u16string::npos);
    for (std::u16string_view word : kProductWords) EXPECT_NE(text.find(word), std::u16string::npos);
}
