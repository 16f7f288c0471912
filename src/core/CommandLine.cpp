#include "core/CommandLine.h"

#include "core/Text.h"

namespace qx {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

char16_t LowerAscii16(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameWord(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii16(a[i]) != LowerAscii16(b[i])) return false;
    return true;
}

std::string Narrow(std::u16string_view text) { return Utf16ToUtf8(text); }

struct TSwitch {
    std::u16string_view Name;
    std::optional<std::u16string_view> Value;
};

// "/name", "-name", "/name:value", "-name=value"; none for a word that is no switch.
std::optional<TSwitch> ReadSwitch(std::u16string_view word) {
    if (word.size() < 2 || (word[0] != u'/' && word[0] != u'-')) return std::nullopt;
    std::u16string_view body = word.substr(1);
    std::size_t mark = body.find_first_of(u":=");
    if (mark == std::u16string_view::npos) return TSwitch{body, std::nullopt};
    return TSwitch{body.substr(0, mark), body.substr(mark + 1)};
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
    std::vector<std::u16string> words;
    std::size_t i = 0;
    // The program's name: quotes only delimit it, backslashes are path separators.
    std::u16string program;
    if (i < line.size() && line[i] == u'"') {
        ++i;
        while (i < line.size() && line[i] != u'"') program += line[i++];
        if (i < line.size()) ++i;
    } else {
        while (i < line.size() && !IsBlank(line[i])) program += line[i++];
    }
    words.push_back(std::move(program));

    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::u16string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            if (line[i] == u'\\') {
                std::size_t slashes = 0;
                while (i < line.size() && line[i] == u'\\') ++slashes, ++i;
                if (i < line.size() && line[i] == u'"') {
                    word.append(slashes / 2, u'\\');
                    if (slashes % 2) {
                        word += u'"';
                        ++i;
                    }
                } else {
                    word.append(slashes, u'\\');
                }
            } else if (line[i] == u'"') {
                ++i;
                if (quoted && i < line.size() && line[i] == u'"') {
                    // A doubled quote inside quotes is one quote, and quoting goes on.
                    word += u'"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
            } else {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool QuietRequested(const std::vector<std::u16string>& arguments) {
    for (const std::u16string& word : arguments)
        if (auto s = ReadSwitch(word); s && !s->Value && SameWord(s->Name, u"quiet")) return true;
    return false;
}

std::optional<std::u16string> LogRequested(const std::vector<std::u16string>& arguments) {
    for (const std::u16string& word : arguments)
        if (auto s = ReadSwitch(word); s && s->Value && !s->Value->empty() && SameWord(s->Name, u"log"))
            return std::u16string(*s->Value);
    return std::nullopt;
}

TInstallerOptions ParseInstallerArguments(const std::vector<std::u16string>& arguments) {
    TInstallerOptions options;
    bool passive = false, quiet = false, argsGiven = false;
    for (const std::u16string& word : arguments) {
        std::optional<TSwitch> s = ReadSwitch(word);
        if (!s) throw ECommandLineError("\"" + Narrow(word) + "\" is no switch (switches begin with / or -)");
        const std::string name = "/" + Narrow(s->Name);
        auto flag = [&](bool& target) {
            if (s->Value) throw ECommandLineError(name + " takes no value");
            target = true;
        };
        auto value = [&]() -> std::u16string_view {
            if (!s->Value) throw ECommandLineError(name + " needs a value after : or =");
            return *s->Value;
        };
        if (SameWord(s->Name, u"?") || SameWord(s->Name, u"help")) {
            flag(options.Help);
        } else if (SameWord(s->Name, u"quiet")) {
            flag(quiet);
        } else if (SameWord(s->Name, u"passive")) {
            flag(passive);
        } else if (SameWord(s->Name, u"wait")) {
            flag(options.Wait);
        } else if (SameWord(s->Name, u"product")) {
            std::u16string_view product = value();
            if (options.Product) throw ECommandLineError("/product is given twice");
            for (std::size_t p = 0; p < kProductWords.size(); ++p)
                if (SameWord(product, kProductWords[p])) options.Product = p;
            if (!options.Product) throw ECommandLineError("\"" + Narrow(product) + "\" is no product");
        } else if (SameWord(s->Name, u"log")) {
            std::u16string_view path = value();
            if (path.empty()) throw ECommandLineError("/log needs a file name");
            if (options.LogPath) throw ECommandLineError("/log is given twice");
            options.LogPath = std::u16string(path);
        } else if (SameWord(s->Name, u"args")) {
            if (argsGiven) throw ECommandLineError("/args is given twice");
            options.SetupArguments = std::u16string(value());
            argsGiven = true;
        } else {
            throw ECommandLineError(name + " is no switch of this installer");
        }
    }
    if (quiet && passive) throw ECommandLineError("/quiet and /passive exclude each other");
    if ((quiet || passive) && !options.Product && !options.Help)
        throw ECommandLineError(std::string(quiet ? "/quiet" : "/passive") + " needs /product");
    options.Ui = quiet ? TUiLevel::Quiet : passive ? TUiLevel::Passive : TUiLevel::Full;
    return options;
}

std::u16string CommandLineHelpText() {
    std::u16string products;
    for (std::u16string_view word : kProductWords) {
        if (!products.empty()) products += u", ";
        products += word;
    }
    return u"QuenrixInstaller.exe [/product:ÜRÜN] [/passive | /quiet] [/wait] [/log:DOSYA] [/args:\"PARAMETRELER\"]\n"
           u"\n"
           u"/product:ÜRÜN\tKurulacak ürün: " + products + u"\n"
           u"/passive\tPencere gösterilir, soru sorulmaz\n"
           u"/quiet\t\tPencere ve kutu gösterilmez\n"
           u"/wait\t\tKurulum programını bekler, onun çıkış kodunu döndürür\n"
           u"/log:DOSYA\tAdımları dosyaya yazar (UTF-8, eklenir)\n"
           u"/args:\"...\"\tKurulum programına verilecek parametreler\n"
           u"/?\t\tBu liste\n"
           u"\n"
           u"Anahtarlar - ile ve : yerine = ile de yazılabilir; büyük küçük harf fark etmez.";
}

}  // namespace qx
