// A surface in an exactly-sized heap block (so that AddressSanitizer sees any
// write past it) and a test palette, at the depth the test chooses.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"

namespace gfxtest {

struct Canvas {
    std::vector<uint8_t> bytes;
    Surface s{};
    Canvas(int w, int h, int bpp, uint8_t fill = 0) : bytes(size_t(w) * h * bpp, fill) {
        s.pixels = bytes.data();
        s.width = int16_t(w);
        s.height = int16_t(h);
        s.pitch = int16_t(w * bpp);
        s.bytesPerPixel = int16_t(bpp);
    }
    int bpp() const { return s.pitch / s.width; }
    unsigned At(int x, int y) const {
        const uint8_t *p = bytes.data() + size_t(y) * s.pitch + size_t(x) * bpp();
        if (bpp() == 1) return *p;
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    void Set(int x, int y, unsigned v) {
        uint8_t *p = bytes.data() + size_t(y) * s.pitch + size_t(x) * bpp();
        if (bpp() == 1)
            *p = uint8_t(v);
        else {
            uint16_t w = uint16_t(v);
            std::memcpy(p, &w, 2);
        }
    }
    // FNV-1a of the pixels: a compact golden value for small images.
    uint32_t Hash() const {
        uint32_t h = 2166136261u;
        for (uint8_t b : bytes) h = (h ^ b) * 16777619u;
        return h;
    }
    int Count(unsigned v) const {
        int n = 0;
        for (int y = 0; y < s.height; y++)
            for (int x = 0; x < s.width; x++) n += At(x, y) == v;
        return n;
    }
};

// Entry i = (i, 255 - i, i / 2).
inline const uint8_t *TestPalette() {
    static uint8_t pal[1024];
    for (int i = 0; i < 256; i++) {
        pal[i * 4] = uint8_t(i);
        pal[i * 4 + 1] = uint8_t(255 - i);
        pal[i * 4 + 2] = uint8_t(i / 2);
        pal[i * 4 + 3] = 0;
    }
    return pal;
}

// The drawers take their depth from the canvas; the display's stays 8-bit.
inline void SetDepth(int) {
    CardMode = 0;
    CurrentPalette = TestPalette();
}

// Light table t, level m, any pixel -> 16 x t + m (so a pixel tells which
// table and level lit it); glow masks 0.
inline void LevelLightTables() {
    for (int t = 0; t < 16; t++)
        for (int m = 0; m < 16; m++) std::memset(LightTables + t * 4096 + m * 256, 16 * t + m, 256);
    std::memset(GlowMasks, 0, sizeof GlowMasks);
}

class Depths : public testing::TestWithParam<int> {
protected:
    void SetUp() override { SetDepth(GetParam()); }
    void TearDown() override { SetDepth(8); }
    int Bpp() const { return GetParam() / 8; }
};

}  // namespace gfxtest
