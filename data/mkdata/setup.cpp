// What the disc's menu program shows: its picture (270 x 270, 8-bit with its
// own palette: a planet with a ring over a starfield) and its dialog font,
// the 8-point sans face of the game's "RFont". Written below "setup/"; the
// sample disc takes them from there.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "RES/picture.h"
#include "mkdata.h"
#include "os/paths.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 270;

// 0-127 the sky from black to deep blue, 128-223 the planet's shades from
// night to day, 224-255 stars and the ring from grey to white.
void PicturePalette(std::vector<uint8_t> &p768) {
    p768.assign(768, 0);
    for (int i = 0; i < 128; ++i) {
        p768[i * 3 + 0] = uint8_t(i / 8);
        p768[i * 3 + 1] = uint8_t(i / 5);
        p768[i * 3 + 2] = uint8_t(16 + i * 3 / 4);
    }
    for (int i = 0; i < 96; ++i) {
        uint8_t *e = &p768[(128 + i) * 3];
        e[0] = uint8_t(20 + i * 235 / 95);
        e[1] = uint8_t(10 + i * 150 / 95);
        e[2] = uint8_t(30 + i * 60 / 95);
    }
    for (int i = 0; i < 32; ++i) {
        uint8_t v = uint8_t(128 + i * 127 / 31);
        uint8_t *e = &p768[(224 + i) * 3];
        e[0] = e[1] = v;
        e[2] = uint8_t(std::min(255, v + 20));
    }
}

std::vector<uint8_t> Picture() {
    std::vector<uint8_t> px(kSide * kSide);
    uint32_t seed = 1253567;
    auto next = [&seed]() {
        seed = seed * 214013u + 2531011u;
        return (seed >> 16) & 0x7FFF;
    };
    const double cx = 150, cy = 160, radius = 78;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            // The sky lightens towards the lower left.
            int sky = std::min(127, (kSide - x + y) * 60 / kSide);
            uint8_t v = uint8_t(sky);
            double dx = x - cx, dy = y - cy;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d < radius) {
                // Lit from the upper left.
                double nz = std::sqrt(1 - (d / radius) * (d / radius));
                double light = (-dx * 0.55 - dy * 0.55 + nz * 80) / radius;
                double bands = 0.08 * std::sin(dy / 6.0);
                v = uint8_t(128 + std::clamp(int((light + bands) * 60), 0, 95));
            }
            // The ring: a thin tilted ellipse, hidden behind the planet above it.
            double rx = dx * 0.94 + dy * 0.34, ry = -dx * 0.34 + dy * 0.94;
            double e = (rx * rx) / (130.0 * 130.0) + (ry * ry) / (26.0 * 26.0);
            if (e > 0.80 && e < 1.0 && !(d < radius && ry < 0)) v = uint8_t(224 + int((e - 0.80) * 150));
            px[size_t(y) * kSide + x] = v;
        }
    for (int i = 0; i < 260; ++i) {
        int x = int(next() % kSide), y = int(next() % kSide);
        uint8_t &p = px[size_t(y) * kSide + x];
        if (p < 128) p = uint8_t(224 + next() % 32);
    }
    return px;
}

bool WriteSetup(const mkdata::Context &ctx) {
    mkdata::OutPath(ctx, "setup/x");
    std::error_code ec;
    fs::copy_file(fs::path(ctx.out) / "vek/resource/fonts/rfont.fon", fs::path(ctx.out) / "setup/dialog.fon",
                  fs::copy_options::overwrite_existing, ec);
    if (ec) return false;
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(ctx.out.c_str()) != 0) return false;
    osFlushPathCache();
    std::vector<uint8_t> pal, px = Picture();
    PicturePalette(pal);
    PcxImage *image = MakePcxImage(nullptr, 0, px.data(), kSide, kSide, pal.data());
    bool ok = image && pcxSave("setup\\bitmap129.pcx", image);
    pcxFree(image);
    ok = chdir(old) == 0 && ok;
    osFlushPathCache();
    return ok;
}

mkdata::Generator gSetup("45-setup", WriteSetup);

}  // namespace
