// The developer font builder: renders a scalable face into a bitmap font
// whose glyphs hold intensities (0 empty, up to 252 full).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "core/log.h"
#include "os/glyphs.h"
#include "platform/display.h"

namespace {

std::string gChoiceFace = "DejaVu Sans";
int gChoiceTenths = 100;
char gChosenName[300];
BitmapFont *gCurrent = nullptr;

// Built fonts live until the program ends: a resource may hold any of them.
std::vector<void *> &Owned() {
    static std::vector<void *> *owned = new std::vector<void *>;
    return *owned;
}

void *Keep(size_t bytes) {
    void *p = std::calloc(1, bytes);
    if (!p) dunFatalError("Out of memory building a font");
    Owned().push_back(p);
    return p;
}

Surface *NewGlyph(int width, int height) {
    uint8_t *p = (uint8_t *)Keep(sizeof(Surface) + (size_t)width * height);
    Surface *g = (Surface *)p;
    g->pixels = p + sizeof(Surface);
    g->width = (int16_t)width;
    g->height = (int16_t)height;
    g->pitch = (int16_t)width;
    g->bytesPerPixel = 1;
    return g;
}

uint8_t Intensity(uint8_t v) { return v < 64 ? (uint8_t)(v * 4) : 252; }

// One glyph from its rendering. The picture is widened to an even width; a
// picture whose top lies below the baseline gets blank rows down to it, so
// that its height above the baseline is never negative.
Surface *MakeGlyph(const GlyphImage &img, bool alt, int extraAdvance, uint16_t *advance) {
    int w = (img.width + 1) & ~1;
    int top = img.originY < 0 ? -img.originY : 0;
    int h = img.height + top;
    std::vector<uint8_t> pic((size_t)w * h, 0);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            pic[(size_t)(y + top) * w + x] = Intensity(img.pixels[(size_t)y * img.width + x]);
    int originY = img.originY + top;

    if (!alt) {
        int hw = w / 2, hh = (h + 1) / 2;
        Surface *g = NewGlyph(hw, hh);
        for (int y = 0; y < hh; ++y)
            for (int x = 0; x < hw; ++x) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    if (2 * y + dy < h) sum += pic[(size_t)(2 * y + dy) * w + 2 * x] + pic[(size_t)(2 * y + dy) * w + 2 * x + 1];
                g->pixels[(size_t)y * hw + x] = (uint8_t)(sum / 4);
            }
        g->hotX = 0;
        g->hotY = (int16_t)((originY + 1) / 2);
        *advance = (uint16_t)(hw + extraAdvance + 1);
        return g;
    }

    Surface *g = NewGlyph(w, h);
    if (!pic.empty()) std::memcpy(g->pixels, pic.data(), pic.size());
    int first = -1, last = -1;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            if (pic[(size_t)y * w + x] > 144) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    g->hotX = (int16_t)(first < 0 ? 0 : first);
    g->hotY = (int16_t)originY;
    *advance = (uint16_t)((first < 0 ? 0 : last - first + 1) + extraAdvance + 1);
    return g;
}

// Shows each new glyph on the screen as it is made, left to right in rows.
struct Preview {
    bool alt;
    int textHeight;
    int x = 20, y = 20;
    void Show(const Surface *g) {
        Surface *screen = &ScreenSurface;
        if (!screen->pixels || g->width <= 0 || g->height <= 0) return;
        Surface at = *g;
        at.hotX = at.hotY = 0;
        ClipRect clip = {0, 0, (int16_t)(screen->width - 1), (int16_t)(screen->height - 1)};
        BlitGlyphClipped(screen, &at, &clip, x, y, 1);
        x += g->width + (alt ? 1 : 2);
        if (x > screen->width) {
            x = alt ? 0 : 20;
            y += (alt ? textHeight : g->height) + 2;
        }
    }
};

}  // namespace

void fontSetChoice(const char *faceName, int tenthsOfPoint) {
    gChoiceFace = faceName ? faceName : "";
    gChoiceTenths = tenthsOfPoint;
}

GlyphFace *fontChoose() {
    // In place of the font dialog a developer may name the face and size in
    // the environment: RUVO_FONT_CHOICE="Face Name:tenths of a point".
    if (const char *env = std::getenv("RUVO_FONT_CHOICE")) {
        std::string choice = env;
        size_t colon = choice.rfind(':');
        if (colon != std::string::npos && std::atoi(choice.c_str() + colon + 1) > 0)
            fontSetChoice(choice.substr(0, colon).c_str(), std::atoi(choice.c_str() + colon + 1));
    }
    GlyphFace *face = osGlyphFaceOpen(gChoiceFace.c_str(), gChoiceTenths);
    if (!face) {
        dunDebugPrintf("fontChoose: no face for \"%s\"", gChoiceFace.c_str());
        return nullptr;
    }
    std::snprintf(gChosenName, sizeof gChosenName, "vek\\resource\\fonts\\%s%d.fon", gChoiceFace.c_str(),
                  gChoiceTenths / 10);
    return face;
}

const char *fontChosenFileName() { return gChosenName; }

BitmapFont *fontBuildFromFace(GlyphFace *face, bool alt, int extraAdvance, int extraLineHeight) {
    if (!face) return nullptr;
    GlyphTextMetrics tm;
    osGlyphTextMetrics(face, &tm);
    BitmapFont *font = (BitmapFont *)Keep(sizeof(BitmapFont));
    if (ScreenSurface.pixels) ClearSurface(&ScreenSurface, 0);
    Preview preview{alt, tm.height};
    GlyphImage img;
    for (int c = 32; c < 256; ++c) {
        if (!osGlyphRender(face, (uint8_t)c, alt ? GLYPH_GRAY : GLYPH_MONO, &img)) continue;
        font->glyph[c] = MakeGlyph(img, alt, extraAdvance, &font->advance[c]);
        preview.Show(font->glyph[c]);
    }
    if (ScreenSurface.pixels && CurrentDisplayDriver) DisplayPresent(&TheDisplayMode);
    font->lineHeight = (uint16_t)((alt ? tm.height : (tm.height + 1) / 2) + extraLineHeight);
    if (!font->glyph[32]) {
        font->glyph[32] = NewGlyph(0, 0);
        font->advance[32] = 0;
    }
    if (font->glyph['e']) font->advance[32] = font->advance['e'];
    for (int c = 0; c < 256; ++c)
        if (!font->glyph[c]) {
            font->glyph[c] = font->glyph[32];
            font->advance[c] = font->advance[32];
        }
    return font;
}

static BitmapFont *Build(bool alt, int extraAdvance, int extraLineHeight) {
    GlyphFace *face = fontChoose();
    if (!face) return nullptr;
    BitmapFont *font = fontBuildFromFace(face, alt, extraAdvance, extraLineHeight);
    osGlyphFaceClose(face);
    gCurrent = font;
    return font;
}

BitmapFont *fontBuild(int extraAdvance, int extraLineHeight) { return Build(false, extraAdvance, extraLineHeight); }
BitmapFont *fontBuildAlt(int extraAdvance, int extraLineHeight) { return Build(true, extraAdvance, extraLineHeight); }
BitmapFont *fontCurrent() { return gCurrent; }

void fontFilterBlur3(const uint8_t *src, uint8_t *dst, int width, int height) {
    auto at = [&](int x, int y) -> int {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0 : src[(size_t)y * width + x];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dst[(size_t)y * width + x] =
                (uint8_t)((at(x, y - 1) + at(x - 1, y) + 4 * at(x, y) + at(x + 1, y) + at(x, y + 1)) / 8);
}

void fontFilterBlur5(const uint8_t *src, uint8_t *dst, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    int sx = x + dx, sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < width && sy < height) sum += src[(size_t)sy * width + sx];
                }
            dst[(size_t)y * width + x] = (uint8_t)(sum / 25);
        }
}

void fontFilterAverage(const uint8_t *a, const uint8_t *b, uint8_t *dst, int count) {
    for (int i = 0; i < count; ++i) {
        int v = (a[i] + b[i]) / 2;
        dst[i] = (uint8_t)(v > 255 ? 255 : v);
    }
}
