#include "os/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

// Every face requested by name is served from the DejaVu family, which covers
// the whole Windows-1252 repertoire.
static const char *const kFaceDir = "/usr/share/fonts/truetype/dejavu/";

struct GlyphFace {
    FT_Library lib;
    FT_Face face;
    std::string name;
};

static bool Has(const std::string &s, const char *word) { return s.find(word) != std::string::npos; }

// Picks the DejaVu file that best stands in for a face name.
static std::string FaceFileFor(const char *faceName) {
    std::string n;
    for (const char *p = faceName ? faceName : ""; *p; ++p) n += (char)std::tolower((unsigned char)*p);
    bool mono = Has(n, "mono") || Has(n, "courier") || Has(n, "fixed") || Has(n, "console") || Has(n, "terminal");
    bool serif = !mono && !Has(n, "sans") &&
                 (Has(n, "serif") || Has(n, "times") || Has(n, "roman") || Has(n, "georgia") || Has(n, "book"));
    bool condensed = !mono && (Has(n, "condensed") || Has(n, "narrow"));
    bool bold = Has(n, "bold") || Has(n, "black") || Has(n, "heavy");
    bool italic = Has(n, "italic") || Has(n, "oblique");
    std::string f = mono ? "DejaVuSansMono" : serif ? "DejaVuSerif" : "DejaVuSans";
    if (condensed) f += "Condensed";
    if (bold || italic) {
        f += "-";
        if (bold) f += "Bold";
        if (italic) f += serif ? "Italic" : "Oblique";
    }
    return f + ".ttf";
}

GlyphFace *osGlyphFaceOpen(const char *faceName, int tenthsOfPoint) {
    if (tenthsOfPoint <= 0) return nullptr;
    const char *dir = std::getenv("RUVO_FONT_DIR");
    std::string base = dir && *dir ? std::string(dir) + "/" : kFaceDir;
    GlyphFace *g = new GlyphFace{};
    if (FT_Init_FreeType(&g->lib)) {
        delete g;
        return nullptr;
    }
    std::string file = base + FaceFileFor(faceName);
    if (FT_New_Face(g->lib, file.c_str(), 0, &g->face) &&
        FT_New_Face(g->lib, (base + "DejaVuSans.ttf").c_str(), 0, &g->face)) {
        FT_Done_FreeType(g->lib);
        delete g;
        return nullptr;
    }
    // Tenths of a point to 26.6 points at the 96 dpi of the screens the
    // fonts were made for.
    if (FT_Set_Char_Size(g->face, 0, (FT_F26Dot6)tenthsOfPoint * 64 / 10, 96, 96)) {
        osGlyphFaceClose(g);
        return nullptr;
    }
    g->name = g->face->family_name ? g->face->family_name : "";
    if (g->face->style_name && std::strcmp(g->face->style_name, "Book") != 0) g->name += std::string(" ") + g->face->style_name;
    return g;
}

void osGlyphFaceClose(GlyphFace *face) {
    if (!face) return;
    FT_Done_Face(face->face);
    FT_Done_FreeType(face->lib);
    delete face;
}

const char *osGlyphFaceName(const GlyphFace *face) { return face ? face->name.c_str() : ""; }

void osGlyphTextMetrics(const GlyphFace *face, GlyphTextMetrics *out) {
    const FT_Size_Metrics &m = face->face->size->metrics;
    out->ascent = (int)((m.ascender + 63) >> 6);
    out->descent = (int)((-m.descender + 63) >> 6);
    out->height = out->ascent + out->descent;
}

uint32_t osCp1252ToUnicode(uint8_t code) {
    static const uint16_t k80[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (code >= 0x80 && code < 0xA0) return k80[code - 0x80];
    return code;
}

bool osGlyphRender(GlyphFace *face, uint8_t code, GlyphFormat format, GlyphImage *out) {
    uint32_t u = osCp1252ToUnicode(code);
    if (!face || (u == 0 && code != 0)) return false;
    FT_UInt index = FT_Get_Char_Index(face->face, u);
    if (index == 0) return false;
    FT_Int32 flags = FT_LOAD_RENDER | (format == GLYPH_MONO ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(face->face, index, flags)) return false;
    FT_GlyphSlot slot = face->face->glyph;
    const FT_Bitmap &bm = slot->bitmap;
    out->width = (int)bm.width;
    out->height = (int)bm.rows;
    out->originX = slot->bitmap_left;
    out->originY = slot->bitmap_top;
    out->advance = (int)((slot->advance.x + 32) >> 6);
    out->pixels.assign((size_t)out->width * out->height, 0);
    for (int y = 0; y < out->height; ++y) {
        const unsigned char *row = bm.buffer + (ptrdiff_t)y * bm.pitch;
        for (int x = 0; x < out->width; ++x) {
            uint8_t v;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                v = (row[x >> 3] & (0x80 >> (x & 7))) ? 64 : 0;
            } else {
                unsigned grays = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
                v = (uint8_t)((row[x] * 64u + grays / 2) / grays);
            }
            out->pixels[(size_t)y * out->width + x] = v;
        }
    }
    return true;
}
