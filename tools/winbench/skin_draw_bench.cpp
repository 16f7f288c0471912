// Time of the nine-slice frame build and of the region cut from frame images, on the
// installer's own skin (or a skin file given as the first argument). Prints microseconds per
// call, the best of several rounds.
#include "framework/Forms.h"
#include "skin/FrameParts.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinRegister.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace qx;

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call: the best of `rounds` rounds of `calls` calls.
double Measure(int rounds, int calls, const std::function<void()>& work) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        double start = Seconds();
        for (int i = 0; i < calls; ++i) work();
        best = std::min(best, (Seconds() - start) / calls);
    }
    return best * 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    TApplication application;
    application.Initialize();
    RegisterSkinClasses();
    std::string path = argc > 1 ? argv[1] : QX_SKIN_FILE;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 2;
    }
    std::vector<std::uint8_t> record(4);
    for (int i = 0; i < 4; ++i) record[i] = static_cast<std::uint8_t>(bytes.size() >> (8 * i));
    record.insert(record.end(), bytes.begin(), bytes.end());
    TSkinData skin(nullptr);
    skin.ReadSkinStream(record);
    if (skin.SkinMissing()) {
        std::fprintf(stderr, "the skin did not load\n");
        return 2;
    }

    const int W = 572, H = 417;
    const char* names[] = {"Left", "Right", "Top", "Bottom"};
    std::printf("skin %s\n", path.c_str());
    for (int i = 0; i < 4; ++i) {
        TDataSkinObject& b = skin.Borders[static_cast<std::size_t>(i)];
        std::printf("  %-6s image %d x %d, %d frames\n", names[i], b.Bitmap.Width(), b.Bitmap.Height(), b.Frame);
    }

    // The whole frame of a 572 x 417 window: the four borders at their window sizes, each built
    // as the frame painter builds it (top and bottom across, left and right down).
    auto frameSize = [&](int i) {
        const SIZE cell = SkinPartSize(FramePiece(skin.Borders[static_cast<std::size_t>(i)]));
        return i >= 2 ? SIZE{W, cell.cy} : SIZE{cell.cx, H};
    };
    auto buildFrame = [&] {
        for (int i = 0; i < 4; ++i) {
            auto piece = MakeSkinPartBitmap(FramePiece(skin.Borders[static_cast<std::size_t>(i)]), TSkinState::Normal,
                                            frameSize(i));
        }
    };
    // One full-size nine-slice: the top border's frame stretched over the whole window.
    auto buildWhole = [&] {
        TSkinPart part = FramePiece(skin.Borders[2]);
        part.Margins.Top = part.Margins.Bottom = 8;
        auto piece = MakeSkinPartBitmap(part, TSkinState::Normal, SIZE{W, H});
    };
    std::printf("Frame pieces, four borders of a %d x %d window: %.1f us per frame\n", W, H,
                Measure(7, 200, buildFrame));
    std::printf("Frame piece, one %d x %d nine-slice:               %.1f us per call\n", W, H,
                Measure(7, 200, buildWhole));
    for (int i = 0; i < 4; ++i) {
        TDataSkinObject& b = skin.Borders[static_cast<std::size_t>(i)];
        if (b.Bitmap.Empty()) continue;
        std::printf("BitmapToRegion, %-6s image:                       %.1f us per call\n", names[i],
                    Measure(7, 100, [&] { TRegionHandle r = BitmapToRegion(b.Bitmap, 0, 0, 1, 1, 1, SkinKeyColor); }));
    }
    std::printf("live GDI objects at the end: %ld\n", GdiLiveObjects());
    return 0;
}
