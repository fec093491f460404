#include "present/sky/alpha.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/files.h"
#include "core/log.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

bool IsArgb4444(const vt_pixelmap *map) { return map && map->pixels && map->type == VT_PMT_ARGB_4444; }

uint16_t &PixelAt(vt_pixelmap *map, int x, int y) {
    auto *row = static_cast<uint8_t *>(map->pixels) + ptrdiff_t(map->base_y + y) * map->row_bytes;
    return reinterpret_cast<uint16_t *>(row)[map->base_x + x];
}

// Calls f(pixel, alpha byte) for every pixel in row order.
template <class F>
void EachPixel(vt_pixelmap *map, const uint8_t *alpha, F f) {
    for (int y = 0; y < map->height; ++y)
        for (int x = 0; x < map->width; ++x) f(PixelAt(map, x, y), alpha[y * map->width + x]);
}

}  // namespace

void P3DSetAlpha4444(vt_pixelmap *map, const uint8_t *alpha, uint32_t mask) {
    if (!IsArgb4444(map) || !alpha || map->width * map->height > 4096) return;
    EachPixel(map, alpha, [mask](uint16_t &p, uint8_t a) {
        p = uint16_t(((uint32_t(p & 0xFFF0) >> 4) & mask) | uint32_t(a >> 4) << 12);
    });
}

void P3DScaleAlpha4444(vt_pixelmap *map, const uint8_t *alpha, float factor) {
    if (!IsArgb4444(map) || !alpha) return;
    EachPixel(map, alpha, [factor](uint16_t &p, uint8_t a) {
        const uint32_t nibble = uint32_t(float(a >> 4) * factor) & 0xF;
        p = uint16_t((p & 0x0FFF) | nibble << 12);
    });
}

vt_pixelmap *P3DMakeTintedAlphaMap(vt_pixelmap *source, int red, int green, int blue, int fill) {
    if (!IsArgb4444(source)) return nullptr;
    vt_pixelmap *copy = VtPixelmapMatch(source, VT_PMMATCH_OFFSCREEN);
    if (!copy || !IsArgb4444(copy)) {
        if (copy) VtPixelmapFree(copy);
        return nullptr;
    }
    for (int y = 0; y < source->height; ++y)
        for (int x = 0; x < source->width; ++x) {
            const uint16_t p = PixelAt(source, x, y);
            uint32_t g = (p >> 4) & 0xF;
            if (g == 0) g = uint32_t(fill) & 0xF;
            uint32_t r, gg, b;
            if (!red && !green && !blue) {
                r = 1, gg = 0, b = 0;
            } else {
                r = red ? 15 : g;
                gg = green ? 15 : g;
                b = blue ? 15 : g;
            }
            PixelAt(copy, x, y) = uint16_t((p & 0xF000) | r << 8 | gg << 4 | b);
        }
    // Named apart from the source, so that finding the source by its name
    // never gives a copy.
    char name[256];
    std::snprintf(name, sizeof name, "%s tinted", source->identifier ? source->identifier : "");
    copy->identifier = VtResStrDup(copy, name);
    VtMapAdd(copy);
    return copy;
}

vt_pixelmap *P3DMakeWhiteAlphaMap(int width, int height) {
    vt_pixelmap *map = VtPixelmapAllocate(VT_PMT_ARGB_4444, width, height, nullptr, 0);
    if (map) VtPixelmapFill(map, 0xFFFF);
    return map;
}

bool P3DReadAlphaFile(const char *name, uint8_t *out, size_t capacity, size_t need) {
    uint8_t *data = nullptr;
    size_t size = 0;
    if (!out || !ReadGameFile(name, &data, &size, capacity)) return false;
    if (size == 0) {
        std::free(data);
        RefuseGameFile(name, "empty");
        return false;
    }
    std::memset(out, 0, capacity);
    std::memcpy(out, data, size);
    std::free(data);
    if (size < need)
        dunDebugPrintf("Short data file %s: it holds %zu of the %zu bytes of alpha its map needs; the rest reads as 0",
                       name, size, need);
    return true;
}
