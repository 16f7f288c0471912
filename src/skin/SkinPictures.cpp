#include "SkinPictures.h"

#include "QuickIni.h"
#include "SkinReader.h"

#include "core/Text.h"

#include <unordered_set>

namespace qx {

namespace {

constexpr std::int64_t kMiB = 1024 * 1024;

}  // namespace

std::string SkinFileTooLargeMessage(std::int64_t bytes) {
    return "This skin file is too large: " + OneDecimal(bytes, kMiB) +
           " MiB, and a skin file may be at most " + OneDecimal(TSkinReader::kMaxPlainSize, kMiB) +
           " MiB.\rThe skin is not used.";
}

std::string SkinIniTooLargeMessage(std::int64_t bytes) {
    return "This skin's description is too large: " + OneDecimal(bytes, kMiB) +
           " MiB of text, and it may be at most " + OneDecimal(static_cast<std::int64_t>(kSkinMaxIniBytes), kMiB) + " MiB.\rThe skin is not used.";
}

std::string SkinPicturesTooLargeMessage(std::int64_t pixels) {
    return "This skin's pictures are too large: " + OneDecimal(pixels, 1000000) +
           " megapixels, and a skin may use at most " + OneDecimal(kSkinPixelBudget, 1000000) +
           " megapixels.\rThe skin is not used.";
}

std::string PictureFileName(std::string_view value) {
    const std::size_t slash = value.find_last_of("\\/:");
    const std::string_view file = slash == std::string_view::npos ? value : value.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    if (file.empty() || dot == std::string_view::npos || file.substr(dot) != ".bmp") return {};
    return std::string(file);
}

std::size_t TSkinPictures::EntryOf(std::string_view value) const {
    const std::string file = PictureFileName(value);
    return file.empty() ? TSkinReader::npos : reader_.Find(file);
}

const TBmpLayout* TSkinPictures::Layout(std::size_t entry) const {
    if (entry >= reader_.Count()) return nullptr;
    auto [it, fresh] = layouts_.try_emplace(entry);
    if (fresh) {
        auto layout = std::make_unique<TBmpLayout>();
        std::string error;
        if (ReadBmpLayout(reader_.Entry(entry), *layout, error)) it->second = std::move(layout);
    }
    return it->second.get();
}

std::int64_t TSkinPictures::NamedPixels(const TQuickIni& ini) const {
    std::unordered_set<std::size_t> counted;
    std::int64_t pixels = 0;
    ini.ForEachValue([&](std::string_view value) {
        const std::size_t entry = EntryOf(value);
        if (entry == TSkinReader::npos || !counted.insert(entry).second) return;
        if (const TBmpLayout* layout = Layout(entry)) pixels += layout->Pixels();
    });
    return pixels;
}

}  // namespace qx
