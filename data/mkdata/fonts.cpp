// The game's fonts: bitmap fonts rendered from DejaVu faces by the font
// builder and written with the game's own writers, the picture glyphs of the
// small font with the packed "tiny.fnt" made from them, and the vector font.
//
// Glyph pixels: 16 is the empty value (the one-colour drawer skips exactly
// that value and the own-colour drawers skip 0..16); ink uses the system
// colours 248 (dark grey), 247 (grey) and 255 (white), so that anti-aliased
// edges look right in any game palette.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/picture.h"
#include "mkdata.h"
#include "os/glyphs.h"

namespace fs = std::filesystem;

namespace {

struct FontSpec {
    const char *symbol;  // the name the game looks the font up by
    const char *file;    // below vek\resource\fonts
    const char *face;
    int tenths;          // point size x 10
    bool halved;         // double-size monochrome rendering, halved
    bool dim;
};

const FontSpec kFonts[] = {
    {"RFont", "rfont.fon", "DejaVu Sans", 80, false, false},
    {"BFont", "bfont.fon", "DejaVu Sans Bold", 80, false, false},
    {"GFont", "gfont.fon", "DejaVu Sans", 70, false, false},
    {"MidFont", "midfont.fon", "DejaVu Sans", 100, false, false},
    {"ConsFont", "consfont.fnt", "DejaVu Sans Mono", 80, false, false},
    {"ConsFont1", "consfont1.fnt", "DejaVu Sans Mono", 70, false, false},
    {"ConsFont2", "consfont2.fnt", "DejaVu Sans Mono Bold", 90, false, false},
    {"HFont", "hfont.fon", "DejaVu Sans Condensed Bold", 240, true, false},
    {"DimFont", "dimfont.fon", "DejaVu Sans", 80, false, true},
    {"A2Font", "a2font.fon", "DejaVu Serif", 90, false, false},
    {"A2DimFont", "a2dimfont.fon", "DejaVu Serif", 90, false, true},
};

uint8_t Ink(uint8_t intensity, bool dim) {
    if (intensity < 96) return 16;
    if (intensity < 160) return 248;
    if (dim) return intensity < 208 ? 248 : 247;
    return intensity < 208 ? 247 : 255;
}

// Every distinct glyph of a built font, once.
std::vector<Surface *> Distinct(BitmapFont *font) {
    std::vector<Surface *> out;
    for (int c = 0; c < 256; ++c) {
        Surface *g = font->glyph[c];
        bool seen = false;
        for (Surface *o : out) seen = seen || o == g;
        if (g && !seen) out.push_back(g);
    }
    return out;
}

void ToInk(BitmapFont *font, bool dim) {
    for (Surface *g : Distinct(font))
        for (size_t i = 0; i < (size_t)g->width * g->height; ++i) g->pixels[i] = Ink(g->pixels[i], dim);
}

// A packed font advances by each glyph's width + 1, so every glyph is boxed
// to its advance less one column, its picture placed where the hotspot put it.
std::vector<std::vector<uint8_t>> gBoxes;
std::vector<Surface> gBoxRasters;

void BoxForPacked(BitmapFont *font) {
    std::vector<Surface *> distinct = Distinct(font);
    gBoxes.assign(distinct.size(), {});
    gBoxRasters.assign(distinct.size(), {});
    for (size_t k = 0; k < distinct.size(); ++k) {
        Surface *g = distinct[k];
        int adv = 0;
        for (int c = 0; c < 256; ++c)
            if (font->glyph[c] == g) adv = font->advance[c];
        int w = adv > 1 ? adv - 1 : 1, h = g->height > 0 ? g->height : 1;
        gBoxes[k].assign((size_t)w * h, 16);
        for (int y = 0; y < g->height; ++y)
            for (int x = 0; x < g->width; ++x) {
                int nx = x - g->hotX;
                if (nx >= 0 && nx < w) gBoxes[k][(size_t)y * w + nx] = g->pixels[(size_t)y * g->width + x];
            }
        gBoxRasters[k] = {gBoxes[k].data(), (int16_t)w, (int16_t)h, 0, g->height > 0 ? g->hotY : (int16_t)0, (int16_t)w,
                          1};
        for (int c = 0; c < 256; ++c)
            if (font->glyph[c] == g) font->glyph[c] = &gBoxRasters[k];
    }
}

BitmapFont *Build(const char *face, int tenths, bool halved) {
    GlyphFace *f = osGlyphFaceOpen(face, tenths);
    if (!f) {
        std::fprintf(stderr, "mkdata: no glyph face for %s\n", face);
        return nullptr;
    }
    BitmapFont *font = fontBuildFromFace(f, !halved, 1, 0);
    osGlyphFaceClose(f);
    return font;
}

bool InRange(int c) { return (c >= 33 && c <= 126) || (c >= 145 && c <= 148) || c >= 192; }

// The small picture font: one IFF picture per code the start-up loader reads
// (the loader adds one to the hotspot's y), and "tiny.fnt" made from them
// the way the "fontmake" start-up does.
bool SmallFont(const mkdata::Context &ctx) {
    BitmapFont *font = Build("DejaVu Sans Bold", 60, false);
    if (!font) return false;
    ToInk(font, false);
    BoxForPacked(font);
    uint8_t palette[1024];
    for (int i = 0; i < 256; ++i) palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = (uint8_t)i;
    mkdata::OutPath(ctx, "vek/resource/fonts/smallfnt/x");
    for (int c = 32; c < 256; ++c) {
        if (c != 32 && (!InRange(c) || font->glyph[c] == font->glyph[32])) continue;
        const Surface *g = font->glyph[c];
        char name[64];
        std::snprintf(name, sizeof name, "vek\\resource\\fonts\\smallfnt\\c%03u.bbm", (unsigned)c);
        if (!SaveIffPicture(name, g->pixels, (uint16_t)g->width, (uint16_t)g->height, palette, true,
                            (uint16_t)g->hotX, g->hotY > 0 ? (uint16_t)(g->hotY - 1) : 0))
            return false;
    }
    BitmapFont tiny{};
    LoadGlyphFont(&tiny, "vek\\resource\\fonts\\smallfnt");
    bool ok = tiny.glyph['A'] && fontMake("vek\\resource\\fonts\\tiny.fnt", &tiny);
    FreeGlyphFont(&tiny);
    return ok;
}

// Vector glyphs as strokes of (column, height above the baseline) points,
// strokes separated by '|'. Columns 0..7, heights -5..10.
struct VGlyph {
    char code;
    const char *strokes;
};
const VGlyph kVector[] = {
    {'A', "0,0 0,7 3,10 6,7 6,0|0,5 6,5"},
    {'B', "0,0 0,10 5,10 6,9 6,6 5,5 0,5|5,5 6,4 6,1 5,0 0,0"},
    {'C', "6,10 0,10 0,0 6,0"},
    {'D', "0,0 0,10 4,10 6,8 6,2 4,0 0,0"},
    {'E', "6,10 0,10 0,0 6,0|0,5 4,5"},
    {'F', "6,10 0,10 0,0|0,5 4,5"},
    {'G', "6,10 0,10 0,0 6,0 6,5 3,5"},
    {'H', "0,0 0,10|6,0 6,10|0,5 6,5"},
    {'I', "1,10 5,10|3,10 3,0|1,0 5,0"},
    {'J', "6,10 6,0 0,0 0,3"},
    {'K', "0,0 0,10|6,10 0,5 6,0"},
    {'L', "0,10 0,0 6,0"},
    {'M', "0,0 0,10 3,6 6,10 6,0"},
    {'N', "0,0 0,10 6,0 6,10"},
    {'O', "0,0 0,10 6,10 6,0 0,0"},
    {'P', "0,0 0,10 6,10 6,5 0,5"},
    {'Q', "0,0 0,10 6,10 6,0 0,0|4,2 7,-1"},
    {'R', "0,0 0,10 6,10 6,5 0,5 6,0"},
    {'S', "6,10 0,10 0,5 6,5 6,0 0,0"},
    {'T', "0,10 6,10|3,10 3,0"},
    {'U', "0,10 0,0 6,0 6,10"},
    {'V', "0,10 3,0 6,10"},
    {'W', "0,10 1,0 3,5 5,0 6,10"},
    {'X', "0,10 6,0|0,0 6,10"},
    {'Y', "0,10 3,5 6,10|3,5 3,0"},
    {'Z', "0,10 6,10 0,0 6,0"},
    {'0', "0,0 0,10 6,10 6,0 0,0 6,10"},
    {'1', "1,8 3,10 3,0|1,0 5,0"},
    {'2', "0,10 6,10 6,5 0,5 0,0 6,0"},
    {'3', "0,10 6,10 6,0 0,0|2,5 6,5"},
    {'4', "0,10 0,5 6,5|5,10 5,0"},
    {'5', "6,10 0,10 0,5 6,5 6,0 0,0"},
    {'6', "6,10 0,10 0,0 6,0 6,5 0,5"},
    {'7', "0,10 6,10 2,0"},
    {'8', "0,0 0,10 6,10 6,0 0,0|0,5 6,5"},
    {'9', "6,5 0,5 0,10 6,10 6,0 0,0"},
    {'-', "1,5 5,5"},
    {'+', "1,5 5,5|3,2 3,8"},
    {'=', "1,3 5,3|1,7 5,7"},
    {'.', "3,0 3,1"},
    {',', "3,1 2,-2"},
    {':', "3,2 3,3|3,7 3,8"},
    {';', "3,7 3,8|3,2 2,-1"},
    {'!', "3,10 3,3|3,1 3,0"},
    {'?', "0,8 0,10 6,10 6,6 3,5 3,3|3,1 3,0"},
    {'/', "0,0 6,10"},
    {'(', "4,10 2,8 2,2 4,0"},
    {')', "2,10 4,8 4,2 2,0"},
    {'[', "4,10 2,10 2,0 4,0"},
    {']', "2,10 4,10 4,0 2,0"},
    {'<', "6,10 0,5 6,0"},
    {'>', "0,10 6,5 0,0"},
    {'*', "3,2 3,8|0,7 6,3|0,3 6,7"},
    {'#', "2,0 2,10|4,0 4,10|0,3 6,3|0,7 6,7"},
    {'\'', "3,10 3,7"},
    {'"', "2,10 2,7|4,10 4,7"},
    {'_', "0,-1 6,-1"},
    {'|', "3,-2 3,10"},
    {'%', "0,0 6,10|0,10 0,8|6,0 6,2"},
};

std::string VectorFontText() {
    std::string out;
    for (int code = 0; code < 128; ++code) {
        int c = code >= 'a' && code <= 'z' ? code - 32 : code;
        const char *strokes = "";
        for (const VGlyph &g : kVector)
            if (g.code == c) strokes = g.strokes;
        std::vector<std::string> tokens;
        bool up = true;
        for (const char *p = strokes; *p;) {
            if (*p == '|') {
                up = true;
                ++p;
                continue;
            }
            if (*p == ' ') {
                ++p;
                continue;
            }
            int col = 0, h = 0, n = 0;
            std::sscanf(p, "%d,%d%n", &col, &h, &n);
            p += n;
            char tok[32];
            std::snprintf(tok, sizeof tok, "%c%d,%d", up ? 'U' : 'D', h + 5, col);
            tokens.push_back(tok);
            up = false;
        }
        out += std::to_string(code) + "," + std::to_string(tokens.size()) + "\n";
        for (size_t i = 0; i < tokens.size(); ++i) out += tokens[i] + (i + 1 < tokens.size() ? " " : "\n");
    }
    return out;
}

bool MakeFonts(const mkdata::Context &ctx) {
    // The game's writers open their files relative to the data root.
    fs::path old = fs::current_path();
    fs::path root = fs::absolute(ctx.out);
    mkdata::OutPath(ctx, "vek/resource/fonts/x");
    fs::current_path(root);
    bool ok = true;
    for (const FontSpec &s : kFonts) {
        BitmapFont *font = Build(s.face, s.tenths, s.halved);
        if (!font) {
            ok = false;
            break;
        }
        ToInk(font, s.dim);
        std::string name = std::string("vek\\resource\\fonts\\") + s.file;
        bool packed = std::strstr(s.file, ".fnt") != nullptr;
        if (packed) BoxForPacked(font);
        if (!(packed ? fontMake(name.c_str(), font) : SaveBitmapFont(name.c_str(), font))) {
            std::fprintf(stderr, "mkdata: cannot write %s\n", name.c_str());
            ok = false;
            break;
        }
    }
    mkdata::Context abs = ctx;
    abs.out = root.string();
    ok = ok && SmallFont(abs);
    fs::current_path(old);
    return ok && mkdata::WriteFile(ctx, "vek/resource/fonts/vfont.rvf", VectorFontText());
}

}  // namespace

static mkdata::Generator gFonts("40-fonts", MakeFonts);
