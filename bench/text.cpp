// Text hot paths against baselines measured side by side in the same
// iterations: a screenful of one-colour text against blitting the same
// glyphs at the same places directly ("x_glyphs"), word-wrapped text the
// same way, and parsing a font file against memcpy of its bytes
// ("x_memcpy").
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/text.h"
#include "core/options.h"
#include "os/glyphs.h"

namespace {

using Clock = std::chrono::steady_clock;

BitmapFont *TheFont() {
    static BitmapFont *font = [] {
        GlyphFace *face = osGlyphFaceOpen("DejaVu Sans", 80);
        BitmapFont *f = fontBuildFromFace(face, true, 1, 0);
        osGlyphFaceClose(face);
        return f;
    }();
    return font;
}

const std::string &Paragraph() {
    static const std::string text = [] {
        std::string t;
        while (t.size() < 2000) t += "Gr\xF6\xDF" "e aus der Station, \xE9t\xE9 \xE0 l'\xE9" "cole. The quick brown fox. ";
        return t;
    }();
    return text;
}

struct Screen {
    std::vector<uint8_t> px = std::vector<uint8_t>(640 * 480);
    Surface s{px.data(), 640, 480, 0, 0, 640, 1};
    ClipRect all{0, 0, 639, 479};
};

template <class Op, class Base>
void Compare(benchmark::State &state, const char *counter, Op op, Base base) {
    double opTime = 0, baseTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        op();
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        base();
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        opTime += std::chrono::duration<double>(t1 - t0).count();
        baseTime += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters[counter] = baseTime > 0 ? opTime / baseTime : 0;
}

// The baseline: each glyph of the text blitted at the place the text drawer
// puts it, without any of the drawer's own work.
std::vector<int> PenPositions(const BitmapFont *f, const std::string &text, int width) {
    std::vector<int> xy;
    int x = 0, y = f->lineHeight;
    for (unsigned char c : text) {
        if (x + f->advance[c] > width) x = 0, y += f->lineHeight;
        xy.push_back(x), xy.push_back(y);
        x += f->advance[c];
    }
    return xy;
}

void BM_DrawText(benchmark::State &state) {
    PixelDepth = 8, BytesPerPixel = 1;
    BitmapFont *f = TheFont();
    Screen sc;
    const std::string &t = Paragraph();
    // Lines of the screen's width so both sides draw the same glyphs.
    std::string lines;
    int x = 0;
    for (unsigned char c : t) {
        if (x + f->advance[c] > 640) lines += '\n', x = 0;
        lines += (char)c, x += f->advance[c];
    }
    std::vector<int> xy = PenPositions(f, t, 640);
    Compare(
        state, "x_glyphs",
        [&] {
            int px = 0, py = f->lineHeight;
            dunDrawText(&sc.s, &px, &py, lines.c_str(), f, 255, &sc.all);
        },
        [&] {
            for (size_t i = 0; i < t.size(); ++i)
                if (t[i] != ' ') BlitGlyph(&sc.s, f->glyph[(unsigned char)t[i]], &sc.all, xy[2 * i], xy[2 * i + 1], 255);
        });
}
BENCHMARK(BM_DrawText);

void BM_DrawTextInRect(benchmark::State &state) {
    PixelDepth = 8, BytesPerPixel = 1;
    BitmapFont *f = TheFont();
    Screen sc;
    const std::string &t = Paragraph();
    std::vector<int> xy = PenPositions(f, t, 640);
    Compare(
        state, "x_glyphs",
        [&] {
            int px = 0, py = f->lineHeight;
            dunDrawTextInRect(&sc.s, &px, &py, t.c_str(), f, &sc.all);
        },
        [&] {
            for (size_t i = 0; i < t.size(); ++i)
                BlitGlyphClipped(&sc.s, f->glyph[(unsigned char)t[i]], &sc.all, xy[2 * i], xy[2 * i + 1], 1);
        });
}
BENCHMARK(BM_DrawTextInRect);

void BM_ParseFont(benchmark::State &state) {
    // A font file made by the game's own writer, read back into memory.
    const char *path = "ruvo_bench_font.fon";
    std::vector<uint8_t> file;
    if (SaveBitmapFont(path, TheFont())) {
        if (FILE *fp = std::fopen(path, "rb")) {
            uint8_t buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) file.insert(file.end(), buf, buf + n);
            std::fclose(fp);
        }
        std::remove(path);
    }
    if (file.empty()) {
        state.SkipWithError("no font file");
        return;
    }
    std::vector<uint8_t> block(fontParsedSize(file.size())), copy(file.size());
    Compare(
        state, "x_memcpy", [&] { benchmark::DoNotOptimize(fontParseFon(file.data(), file.size(), block.data(), block.size())); },
        [&] {
            std::memcpy(copy.data(), file.data(), file.size());
            benchmark::DoNotOptimize(copy.data());
        });
}
BENCHMARK(BM_ParseFont);

}  // namespace
