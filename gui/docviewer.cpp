// The document viewer: loading a page, its layout and draw passes over the
// HTML subset, links, pictures and films, scrolling.
#include "gui/docviewer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/slab.h"
#include "core/files.h"
#include "core/options.h"
#include "gui/gadgets.h"
#include "platform/keyboard.h"
#include "platform/video.h"
#include "script/compiler.h"
#include "script/mission.h"

DocViewer gDocViewer;
uint8_t gDocViewerOpen;

namespace {

DocViewer &V = gDocViewer;

constexpr char kDocFolder[] = "vek\\resource\\text\\docs\\";
constexpr char kHome[] = "home.htm";
constexpr char kRestrictedPage[] = "crew\\vosk.htm";
constexpr int kArrowColour = 64, kRuleColour = 255;

Surface *gSurface;
const BitmapFont *gFont;  // the current font
Smack *gFilm;             // the film shown in the window

const BitmapFont *Named(const char *name) {
    return guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue(name)));
}
const BitmapFont *Body() { return Named("ConsFont"); }
const BitmapFont *Heading() { return Named("ConsFont1"); }
const BitmapFont *LinkFont() { return Named("ConsFont2"); }

int LineHeight(const BitmapFont *font) { return font ? font->lineHeight : 0; }

// Cut at the buffer's end; names longer than their field are the file's fault.
void Copy(char *to, size_t size, const char *from) {
    if (size == 0) return;
    const size_t n = from ? std::min(std::strlen(from), size - 1) : 0;
    if (n) std::memcpy(to, from, n);
    to[n] = 0;
}

const char *LanguagePrefix() { return gLanguage == 1 ? "frn_" : gLanguage == 2 ? "ger_" : nullptr; }

void Localise(char *path) {
    if (const char *prefix = LanguagePrefix()) LocaliseTextPath(path, prefix);
}

bool SameText(const char *a, const char *b) {
    for (;; ++a, ++b) {
        const int x = std::tolower(static_cast<unsigned char>(*a)), y = std::tolower(static_cast<unsigned char>(*b));
        if (x != y) return false;
        if (!x) return true;
    }
}

void NewLine() {
    V.y = int16_t(V.y + LineHeight(gFont));
    V.x = V.margin;
}

// ---- Media --------------------------------------------------------------------------

bool DrawPicture(DocMedia *m, bool drawing) {
    const auto *picture = static_cast<const Raster *>(resmanLoad(m->handle));
    if (!picture) return true;
    if (drawing && gSurface) {
        const ClipRect &r = V.rect;
        const int x0 = std::max<int>(V.x, r.left), y0 = std::max<int>(V.y, r.top);
        const int x1 = std::min<int>(V.x + picture->width - 1, r.right);
        const int y1 = std::min<int>(V.y + picture->height - 1, r.bottom);
        const int bpp = SurfaceBytesPerPixel(gSurface);
        if (x1 >= x0 && y1 >= y0 && picture->pixels && bpp == (picture->bytesPerPixel == 2 ? 2 : 1) &&
            x0 >= 0 && y0 >= 0 && x1 < gSurface->width && y1 < gSurface->height) {
            // Opaque: the picture's dark colours are its own.
            const size_t from = size_t(picture->width) * bpp, to = gSurface->pitch > 0 ? size_t(gSurface->pitch) : size_t(gSurface->width) * bpp;
            for (int y = y0; y <= y1; ++y)
                std::memcpy(gSurface->pixels + size_t(y) * to + size_t(x0) * bpp,
                            picture->pixels + size_t(y - V.y) * from + size_t(x0 - V.x) * bpp, size_t(x1 - x0 + 1) * bpp);
        }
    }
    V.y = int16_t(V.y + picture->height + LineHeight(gFont));
    V.x = V.margin;
    return true;
}

void OpenFilm(DocMedia *m) {
    if (gFilm) VideoClose(gFilm);
    gFilm = nullptr;
    if (!VideoOpenInWindowRaw(&gFilm, m->handle->name, 0, 0, 0, 0)) gFilm = nullptr;
}

bool DrawFilm(DocMedia *, bool drawing) {
    if (!drawing) return true;
    const int16_t rect[4] = {V.rect.left, V.rect.top, V.rect.right, V.rect.bottom};
    if (gFilm && VideoFrameToRect(gFilm, rect)) return true;
    gFilm = nullptr;
    return false;
}

// A full-screen film is named with an "f" for its "k".
void OpenFullScreenFilm(DocMedia *m) {
    char path[sizeof m->handle->name];
    Copy(path, sizeof path, m->handle->name);
    const size_t n = std::strlen(path);
    if (n) path[n - 1] = 'k';
    VideoPlaying = CurrentVideo()->openFullScreen(path) ? 1 : 0;
}

bool DrawFullScreenFilm(DocMedia *, bool) { return VideoPlaying != 0; }

bool NeverStays(DocMedia *, bool) { return false; }

struct MediaKind {
    const char *extension;
    uint32_t type;
    void (*open)(DocMedia *);
    bool (*draw)(DocMedia *, bool);
};

const MediaKind kKinds[] = {
    {"pcx", ResPcx2Raster, nullptr, DrawPicture},   {"smk", ResBrVideo, OpenFilm, DrawFilm},
    {"smf", ResBrVideo, OpenFullScreenFilm, DrawFullScreenFilm}, {"avi", ResAvi, nullptr, NeverStays},
    {"wav", ResWav2Snd, nullptr, NeverStays},
};

// The kind named by the three characters after the name's first ".".
const MediaKind *KindOf(const char *name) {
    const char *dot = std::strchr(name, '.');
    if (!dot) return nullptr;
    char ext[4] = {};
    for (int i = 0; i < 3 && dot[1 + i]; ++i) ext[i] = char(std::tolower(static_cast<unsigned char>(dot[1 + i])));
    for (const MediaKind &k : kKinds)
        if (!std::strcmp(k.extension, ext)) return &k;
    return nullptr;
}

// The entry of a name, in its stored (cut) form; -1 when there is none.
int FindMedia(const char *name) {
    char stored[kDocMediaNameBytes];
    Copy(stored, sizeof stored, name);
    for (int i = 0; i < V.mediaCount; ++i)
        if (!std::strcmp(V.media[i].name, stored)) return i;
    return -1;
}

// The entry of a media name (made when there is none yet and it loads);
// its open routine runs. -1 when there is no entry.
int AddMedia(const char *name) {
    const MediaKind *kind = KindOf(name);
    if (!kind) return -1;
    int at = FindMedia(name);
    if (at < 0) {
        char path[kDocNameBytes + sizeof kDocFolder];
        if (name[0] == '\\') Copy(path, sizeof path, name);
        else std::snprintf(path, sizeof path, "%s%s", kDocFolder, name);
        Localise(path);
        if (V.mediaCount >= kDocMedia) return -1;
        ResourceHandle *h = resmanRegisterLoad(path, kind->type);
        const bool loaded = h && (h->data || ((kind->type == ResBrVideo || kind->type == ResAvi) && resmanFileExists(path)));
        if (!loaded) return -1;
        at = V.mediaCount++;
        DocMedia &m = V.media[at];
        Copy(m.name, sizeof m.name, name);
        m.handle = h;
        m.draw = kind->draw;
    }
    if (kind->open) kind->open(&V.media[at]);
    return at;
}

// ---- Tags ------------------------------------------------------------------------------

bool Delimiter(char c) { return c == ' ' || c == '<' || c == '>' || c == '\r' || c == '\n'; }

char At(size_t i) { return i < V.pageSize ? V.page[i] : 0; }

void LinkStart() {
    if (V.drawing || !V.linkCount) return;
    DocLink &l = V.links[V.linkCount - 1];
    l.x0 = V.x;
    l.y0 = int16_t(V.y - LineHeight(gFont));
}

void LinkEnd() {
    if (V.drawing || !V.linkCount) return;
    DocLink &l = V.links[V.linkCount - 1];
    l.x1 = V.x;
    l.y1 = V.y;
}

void TagAction(const std::string &tag, bool closing, int lineHeight) {
    const char *t = tag.c_str();
    if (SameText(t, "a")) {
        if (!closing) {
            gFont = LinkFont();
            LinkStart();
        } else {
            gFont = Body();
            LinkEnd();
        }
    } else if (SameText(t, "p") || SameText(t, "br")) {
        if (!closing) NewLine();
    } else if (SameText(t, "title")) {
        V.inTitle = closing ? 0 : 1;
    } else if (tag.size() == 2 && (t[0] == 'h' || t[0] == 'H') && t[1] >= '1' && t[1] <= '6') {
        V.y = int16_t(V.y + 2 * lineHeight);
        V.x = V.margin;
        gFont = closing ? Body() : Heading();
    } else if (SameText(t, "hr") && !closing) {
        V.y = int16_t(V.y + lineHeight);
        V.x = V.margin;
        if (V.drawing && gSurface)
            DrawLineClipped(gSurface, V.rect.left + 12, V.y, V.rect.right - 12, V.y, kRuleColour, &V.rect);
        V.y = int16_t(V.y + lineHeight);
    }
}

void Attribute(const std::string &tag, const std::string &name, std::string value) {
    if (value.size() > 3) value = value.substr(1, value.size() - 2);
    if (SameText(tag.c_str(), "img") && SameText(name.c_str(), "src")) {
        // The layout pass makes the entry; both passes let it take its room.
        const int m = V.drawing ? FindMedia(value.c_str()) : AddMedia(value.c_str());
        if (m >= 0) V.media[m].draw(&V.media[m], V.drawing);
    } else if (SameText(tag.c_str(), "a") && SameText(name.c_str(), "href") && !V.drawing && V.linkCount < kDocLinks) {
        DocLink &l = V.links[V.linkCount++];
        l = DocLink{};
        Copy(l.target, sizeof l.target, value.c_str());
        l.disabled = !std::strcmp(l.target, kRestrictedPage) && (gCurrentMission == 1 || gCurrentMission > 89);
    }
}

// A tag from its "<"; the position after its ">".
size_t Tag(size_t i, int lineHeight) {
    ++i;
    if (At(i) == '!') {
        while (i < V.pageSize && At(i) != '>') ++i;
        return i + 1;
    }
    bool closing = false;
    if (At(i) == '/') {
        closing = true;
        ++i;
    }
    std::string tag;
    while (i < V.pageSize && At(i) != ' ' && At(i) != '>' && At(i) != '\r' && At(i) != '\n') tag.push_back(At(i++));
    while (i < V.pageSize && At(i) != '>') {
        while (i < V.pageSize && At(i) != '>' && Delimiter(At(i))) ++i;
        std::string name;
        while (i < V.pageSize && At(i) != '=' && At(i) != ' ' && At(i) != '>') name.push_back(At(i++));
        if (At(i) == '=') {
            ++i;
            std::string value;
            while (i < V.pageSize && !Delimiter(At(i))) value.push_back(At(i++));
            Attribute(tag, name, value);
        }
    }
    TagAction(tag, closing, lineHeight);
    return i + 1;
}

int GlyphWidth(const BitmapFont *font, uint8_t c) {
    const Surface *g = font ? font->glyph[c] : nullptr;
    return g ? g->width : 0;
}

// A word from its first character; the position after it.
size_t Word(size_t i, int spaceWidth) {
    std::string word;
    int width = 0;
    while (i < V.pageSize && !Delimiter(At(i))) {
        const auto c = static_cast<uint8_t>(At(i++));
        word.push_back(char(c));
        width += GlyphWidth(gFont, c) + 1;
    }
    if (V.rect.right - 4 <= V.x + width) NewLine();
    int advance = 0;
    for (unsigned char c : word) advance += gFont ? gFont->advance[c] : 0;
    if (V.drawing && gSurface && gFont) guiDrawFontText(gSurface, V.x, V.y, word.c_str(), gFont, &V.rect);
    V.x = int16_t(V.x + advance + spaceWidth);
    return i;
}

}  // namespace

void docResetMedia() {
    if (gFilm) VideoClose(gFilm);
    gFilm = nullptr;
    V.mediaCount = 0;
    V.mediaShown = -1;
}

void docResetViewer() {
    docResetMedia();
    std::free(V.page);
    V = DocViewer{};
    V.mediaShown = -1;
    Copy(V.requested, sizeof V.requested, kHome);
    Copy(V.previous, sizeof V.previous, "---");
    gDocViewerOpen = 0;
    gFont = nullptr;
}

namespace {
struct ViewerStart {
    ViewerStart() {
        V.mediaShown = -1;
        Copy(V.requested, sizeof V.requested, kHome);
        Copy(V.previous, sizeof V.previous, "---");
    }
} gViewerStart;
}  // namespace

void docOpenHome() {
    Copy(V.requested, sizeof V.requested, kHome);
    gDocViewerOpen = 1;
}

bool docOpenPage(const char *name) {
    char local[kDocNameBytes];
    Copy(local, sizeof local, name);
    Localise(local);
    if (KindOf(local)) {
        V.mediaShown = AddMedia(local);
        return V.mediaShown >= 0;
    }
    uint32_t size = 0;
    FILE *f = OpenScriptDocument(local, &size);
    if (!f) return false;
    V.pageSize = std::fread(V.page, 1, std::min<size_t>(size, kDocPageBytes), f);
    slabClose(f);
    if (V.pageSize == 0) {
        const std::string path = std::strchr(local, '\\') ? local : std::string(ScriptDocFolder()) + "\\" + local;
        EmptyGameFile(path.c_str(), "the page is blank");
    }
    return true;
}

void docLoadPage(const char *name) {
    Copy(V.previous, sizeof V.previous, V.loaded);
    Copy(V.loaded, sizeof V.loaded, name);
    if (!V.page) {
        V.page = static_cast<char *>(std::calloc(kDocPageBytes, 1));
        const int16_t cx = int16_t((V.rect.left + V.rect.right) / 2), cy = int16_t((V.rect.top + V.rect.bottom) / 2);
        V.lastLink[0] = V.lastLink[2] = cx;
        V.lastLink[1] = V.lastLink[3] = cy;
        if (!V.page) return;
    }
    gFont = Body();
    V.scroll = 0;
    V.x = V.margin = int16_t(V.rect.left + 4);
    V.y = int16_t(V.rect.top + 16);
    V.linkCount = 0;
    if (!docOpenPage(name)) return;
    V.drawing = 0;
    docRenderPage();
    V.height = V.y - V.rect.top - 12;
}

bool docRenderPage() {
    if (V.mediaShown >= 0 && V.mediaShown < V.mediaCount) return V.media[V.mediaShown].draw(&V.media[V.mediaShown], V.drawing);
    if (!V.page) return true;
    const int lineHeight = LineHeight(gFont);
    const int spaceWidth = gFont ? gFont->advance[' '] : 0;
    V.inTitle = 0;
    for (size_t i = 0; i < V.pageSize;) {
        const char c = At(i);
        if (c == '<') i = Tag(i, lineHeight);
        else if (!Delimiter(c) && !V.inTitle) i = Word(i, spaceWidth);
        else ++i;
    }
    return true;
}

void docDrawViewer(Surface *surface, const ClipRect *rect) {
    if (!rect) return;
    gSurface = surface;
    V.rect = *rect;
    if (V.scroll > V.height) V.scroll = int16_t(std::min<int32_t>(V.height, INT16_MAX));
    if (V.scroll < 0) V.scroll = 0;
    if (std::strcmp(V.requested, V.loaded)) docLoadPage(V.requested);
    gFont = Body();
    V.x = V.margin = int16_t(rect->left + 4);
    V.y = int16_t(rect->top + 16 - V.scroll);
    if (surface) FillRect(surface, 0, rect->left, rect->top, rect->right, rect->bottom);
    V.drawing = 1;
    if (!docRenderPage()) {
        Copy(V.requested, sizeof V.requested, V.previous);
        V.mediaShown = -1;
    }
    V.drawing = 0;
    const int h = rect->bottom - rect->top + 1;
    V.upArrow = V.scroll > 0;
    V.downArrow = V.scroll + h < V.height;
    if (!surface) return;
    const int x0 = rect->right - 22, xm = rect->right - 16, x1 = rect->right - 10;
    if (V.upArrow) {
        DrawLineClipped(surface, x0, rect->top + 16, xm, rect->top + 10, kArrowColour, rect);
        DrawLineClipped(surface, xm, rect->top + 10, x1, rect->top + 16, kArrowColour, rect);
    }
    if (V.downArrow) {
        DrawLineClipped(surface, x0, rect->bottom - 22, xm, rect->bottom - 16, kArrowColour, rect);
        DrawLineClipped(surface, xm, rect->bottom - 16, x1, rect->bottom - 22, kArrowColour, rect);
    }
}

void docScrollBy(int pixels) { V.scroll = int16_t(std::clamp<int>(V.scroll + pixels, INT16_MIN, INT16_MAX)); }

void docScrollArrows() {
    if (!KeyDownTable[KEY_LEFT_BUTTON]) return;
    const int mx = gMouse.x, my = gMouse.y;
    const ClipRect &r = V.rect;
    const bool inX = mx > r.right - 22 && mx < r.right - 10;
    if (V.upArrow && inX && my > r.top + 10 && my < r.top + 16) docScrollBy(-4);
    if (V.downArrow && inX && my > r.bottom - 22 && my < r.bottom - 16) docScrollBy(4);
}

void docFollowLink() {
    if (V.mediaShown >= 0) {
        Copy(V.requested, sizeof V.requested, V.previous);
        V.mediaShown = -1;
        if (gFilm) VideoClose(gFilm);
        gFilm = nullptr;
        return;
    }
    const int mx = gMouse.x, my = gMouse.y + V.scroll;
    for (int i = 0; i < V.linkCount; ++i) {
        const DocLink &l = V.links[i];
        if (l.disabled) continue;
        if (mx > l.x0 && mx < l.x1 && my > l.y0 && my < l.y1) {
            V.lastLink[0] = l.x0;
            V.lastLink[1] = l.y0;
            V.lastLink[2] = l.x1;
            V.lastLink[3] = l.y1;
            Copy(V.requested, sizeof V.requested, l.target);
            return;
        }
    }
}
