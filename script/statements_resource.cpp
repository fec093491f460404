// The resource statements: registering and loading files through the
// resource manager, text slots, rasters cut from pictures, fonts and
// texture-map replacements.
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "core/options.h"
#include "core/progress.h"
#include "present/p3d.h"
#include "script/compiler.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/settings.h"
#include "script/statements.h"
#include "script/symbols.h"

namespace {

constexpr uint32_t kRawBlockClass = 1;

uint32_t Code(const ScriptRun &run) { return gScriptTokens[run.statement].code; }

// A conversion keyword: its resource type, or the statement fails.
uint32_t Method(ScriptRun &run, const char *message) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code < 1 || t.code > Sc::LastMethod) ScriptFail(run, ScriptStatus::BadToken, message);
    ScriptNext(run);
    return t.code - 1;
}

// The language's copy of a file: its path's "text" folder becomes "frn_" or
// "ger_".
void LocalisedPath(const char *path, char *out, size_t size) {
    std::snprintf(out, size, "%s", path);
    if (gLanguage == 1) LocaliseTextPath(out, "frn_");
    else if (gLanguage == 2) LocaliseTextPath(out, "ger_");
}

void Give(ScriptSymbol *s, ResourceHandle *handle) {
    ScriptSetSymbolThing(s, handle);
    ScriptSetSymbolThing(gSymLastRes, handle);
}

ResourceHandle *Operand(ScriptRun &run, uint32_t mask = SymKind::Resource) {
    return ScriptSymbolResource(DecodeSymbolOperand(run, mask));
}

void Register(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, 0);
    const char *name = DecodeTextOperand(run);
    uint32_t type = Method(run, "REGISTER Unrecognized METHOD");
    char step[ResourceNameBytes + 32];
    std::snprintf(step, sizeof step, "RESMAN - Register: %s", name);
    LoadProgressStep(step);
    Give(s, resmanRegisterLoad(name, type));
    if (s->kind == 0) s->kind = SymKind::Resource;
}

void RegLoad(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, 0);
    const char *name = DecodeTextOperand(run);
    uint32_t type = Method(run, "REGLOAD Unrecognized METHOD");
    char path[ResourceNameBytes * 2];
    if (type == ResTxt2Txt) LocalisedPath(name, path, sizeof path);
    else std::snprintf(path, sizeof path, "%s", name);
    ResourceHandle *h = resmanRegisterLoad(path, type);
    Give(s, h);
    if (s->kind == 0) s->kind = SymKind::Resource;
    if (h && Code(run) == 37) h->flags |= ResourceFlag::Localised;
    const char *text = h && type == ResTxt2Txt ? static_cast<const char *>(h->data) : nullptr;
    if (text && text[0] == '<') dunStartDialogue(h, nullptr, s, nullptr);
}

void Load(ScriptRun &run) { resmanLoad(Operand(run)); }
void Unload(ScriptRun &run) { resmanUnload(Operand(run, SymKind::Resource | SymKind::MustExist)); }
void Lock(ScriptRun &run) { resmanLock(Operand(run)); }
void Unlock(ScriptRun &run) { resmanUnlock(Operand(run)); }

void String(ScriptRun &run) {
    int32_t slot = int16_t(ScriptTrunc(DecodeNumberOperand(run)));
    const char *name = DecodeTextOperand(run);
    uint32_t type = Method(run, "REGLOAD Unrecognized METHOD");
    if (slot < 0 || slot >= kTextSlots) ScriptFail(run, ScriptStatus::BadToken, "STRING slot out of range");
    char path[ResourceNameBytes * 2];
    LocalisedPath(name, path, sizeof path);
    ResourceHandle *h = resmanRegisterLoad(path, type);
    char *text = h ? static_cast<char *>(h->data) : nullptr;
    gTextSlots[slot] = text;
    if (!text) return;
    // A trailing CR LF is not part of the text.
    size_t n = std::strlen(text);
    if (n >= 2 && text[n - 2] == '\r') text[n - 2] = 0;
}

void GrabRast(ScriptRun &run) {
    ScriptSymbol *target = DecodeSymbolOperand(run, SymKind::Resource);
    ResourceHandle *source = Operand(run, SymKind::Resource | SymKind::MustExist);
    int x = ScriptTrunc(DecodeNumberOperand(run));
    int y = ScriptTrunc(DecodeNumberOperand(run));
    int w = ScriptTrunc(DecodeNumberOperand(run));
    float h = DecodeNumberOperand(run);
    bool sprite = OptionalKeywordInRange(run, Sc::On, Sc::Off) != 1;
    const Raster *picture = static_cast<const Raster *>(resmanLoad(source));
    if (!picture) return;
    int height = ScriptTrunc(h);
    // A picture of the 16-bit display has two bytes a pixel; its raster has
    // no run-length sprite.
    const int bpp = picture->bytesPerPixel == 2 ? 2 : 1;
    sprite = sprite && bpp == 1;
    int64_t pixels = int64_t(ScriptTrunc(double(w) * h)) * bpp;
    if (w <= 0 || height <= 0 || w > 0xFFFF || height > 0xFFFF || pixels <= 0 || pixels > (1 << 24)) return;
    uint32_t size = uint32_t(sprite ? pixels * 4 : pixels);
    ResourceHandle *block = resmanRegisterSized(kRawBlockClass, size + RasterHeaderBytes);
    if (!block || !block->data) return;
    auto *raster = static_cast<Raster *>(block->data);
    *raster = Raster{};
    raster->pixels = reinterpret_cast<uint8_t *>(raster) + RasterHeaderBytes;
    raster->width = uint16_t(w);
    raster->height = uint16_t(height);
    raster->bytesPerPixel = uint16_t(bpp);
    // Only the part of the rectangle that lies on the picture is copied;
    // the rest stays 0.
    int sourcePitch = picture->pitch ? picture->pitch : picture->width * bpp;
    for (int row = 0; row < height; ++row) {
        int sy = y + row;
        if (sy < 0 || sy >= picture->height) continue;
        int from = x < 0 ? -x : 0;
        int to = x + w > picture->width ? picture->width - x : w;
        if (from >= to) continue;
        std::memcpy(raster->pixels + (size_t(row) * w + from) * bpp,
                    picture->pixels + size_t(sy) * sourcePitch + size_t(x + from) * bpp, size_t(to - from) * bpp);
    }
    if (sprite && MakeSpriteFromRaster(AsSurface(raster), nullptr, 0) <= size_t(pixels) * 3)
        MakeSpriteFromRaster(AsSurface(raster), raster->pixels + pixels, 0);
    Give(target, block);
}

void SaveRast(ScriptRun &run) {
    ResourceHandle *picture = Operand(run, SymKind::Resource | SymKind::MustExist);
    const char *name = DecodeTextOperand(run);
    if (const Raster *raster = static_cast<const Raster *>(resmanLoad(picture))) SaveSurfacePcx(AsSurface(raster), name);
}

void LoadMap(ScriptRun &run) {
    const char *texture = DecodeTextOperand(run);
    LoadTextureReplacement(texture, DecodeTextOperand(run));
}

void ClearMap(ScriptRun &) { FreeTextureReplacements(); }

void MapFnt(ScriptRun &run) {
    void *font = resmanLoad(Operand(run));
    auto *a = static_cast<const uint8_t *>(resmanLoad(Operand(run)));
    auto *b = static_cast<const uint8_t *>(resmanLoad(Operand(run)));
    int red = ScriptTrunc(DecodeNumberOperand(run));
    int green = ScriptTrunc(DecodeNumberOperand(run));
    int blue = ScriptTrunc(DecodeNumberOperand(run));
    if (font && a && b) RecolourFontGlyphs(static_cast<BitmapFont *>(font), a, b, red, green, blue);
}

void ChooseFnt(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::Resource);
    bool alt = KeywordInRange(run, Sc::On, Sc::Off) == 1;
    int a = ScriptTrunc(OptionalNumberOperand(run));
    int b = ScriptTrunc(OptionalNumberOperand(run));
    BitmapFont *font = alt ? fontBuildAlt(a, b) : fontBuild(a, b);
    ResourceHandle *h = ScriptSymbolResource(s);
    if (!h) {
        h = resmanRegisterSized(kRawBlockClass, 0);
        if (h) ScriptSetSymbolThing(s, h);
    }
    if (h) h->data = font;
}

void SaveFnt(ScriptRun &run) {
    auto *font = static_cast<const BitmapFont *>(resmanLoad(Operand(run)));
    const char *name = DecodeTextOperand(run);
    if (font) SaveBitmapFont(name, font);
}

}  // namespace

const ScriptStatementRow kResourceStatements[] = {
    {31, Register},  {32, Load},     {33, Unload},    {34, Lock},     {35, Unlock},  {36, RegLoad},
    {37, RegLoad},   {38, LoadMap},  {39, ClearMap},  {40, GrabRast}, {41, SaveRast}, {42, String},
    {43, MapFnt},    {44, ChooseFnt}, {45, SaveFnt},  {0, nullptr},
};
