#include "tools/installer/dialog.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/text.h"
#include "core/options.h"
#include "os/clock.h"
#include "os/display.h"
#include "os/events.h"
#include "os/window.h"
#include "tools/installer/launcher.h"

DialogState gDialog;

namespace {

enum ControlKind { kButton, kCombo, kPicture };

// Dialog 102 in dialog units, in its tab order.
const struct ControlTemplate {
    int id;
    ControlKind kind;
    int x, y, w, h;
    const char *caption;
} kDialog102[] = {
    {IDC_INSTALL, kButton, 10, 20, 110, 30, "Installer Vantrell"},
    {IDC_UNINSTALL, kButton, 10, 60, 110, 30, "D\xE9sinstaller Vantrell"},
    {IDC_README, kButton, 10, 100, 110, 30, "Lisez le fichier Lisez-moi.txt"},
    {IDC_DIRECTX, kButton, 10, 140, 110, 30, "Installer DirectX 6.1"},
    {IDC_DIRECTX_MEDIA, kButton, 10, 180, 110, 30, "Installer DirectX Media"},
    {IDC_LAUNCH, kButton, 300, 20, 110, 30, "Lancer Vantrell"},
    {IDC_RENDERER, kCombo, 300, 60, 110, 14, nullptr},
    {IDC_INTRO, kButton, 300, 100, 110, 30, "Lancer l'animation d'intro"},
    {IDC_WEB_SITE, kButton, 300, 140, 110, 30, "Consulter le Site Web"},
    {IDCANCEL, kButton, 150, 190, 120, 20, "Annuler"},
    {kDialogPictureId, kPicture, 130, 10, 160, 170, nullptr},
};

// Dialog units to pixels for an 8-point font: 6 / 4 across, 13 / 8 down,
// rounded as the other system's MulDiv rounds.
int MulDiv(int v, int num, int den) { return (v * num + den / 2) / den; }
DialogRect ToPixels(const ControlTemplate &c) {
    return {MulDiv(c.x, 6, 4), MulDiv(c.y, 13, 8), MulDiv(c.w, 6, 4), MulDiv(c.h, 13, 8)};
}

const ControlTemplate *Find(int id) {
    for (const auto &c : kDialog102)
        if (c.id == id) return &c;
    return nullptr;
}

bool Inside(const DialogRect &r, int x, int y) { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }

bool Focusable(const ControlTemplate &c) { return c.kind != kPicture && LauncherControlEnabled(c.id); }

// ---- Colours: palette indices of the dialog's own palette -------------------

enum Colour { kInk, kWhite, kFace, kShadow, kLight, kSelection, kDarkShadow };
uint8_t gPalette[1024];

void BuildPalette() {
    static const uint8_t kRgb[][3] = {
        {0, 0, 0}, {255, 255, 255}, {192, 192, 192}, {128, 128, 128}, {223, 223, 223}, {0, 0, 128}, {64, 64, 64},
    };
    std::memset(gPalette, 0, sizeof gPalette);
    for (size_t i = 0; i < sizeof kRgb / sizeof kRgb[0]; ++i) std::memcpy(gPalette + 4 * i, kRgb[i], 3);
}

// ---- Resources ----------------------------------------------------------------

BitmapFont *gFont;
void *gFontBlock;
Raster *gPicture;

// The list's rows hang below the combo box.
int RowHeight() { return (gFont ? gFont->lineHeight : 13) + 3; }
DialogRect ListRect() {
    DialogRect c = DialogControlRect(IDC_RENDERER);
    return {c.x, c.y + c.h, c.w, RowHeight() * kRendererCount + 2};
}

// ---- Drawing ----------------------------------------------------------------

void HLine(Surface *s, int colour, int x0, int x1, int y) { FillRect(s, colour, x0, y, x1, y); }
void VLine(Surface *s, int colour, int x, int y0, int y1) { FillRect(s, colour, x, y0, x, y1); }

// A two-pixel frame: the colours of the outer line's upper-left and
// lower-right sides, then the inner line's.
void Frame(Surface *s, const DialogRect &r, int outerLight, int outerDark, int innerLight, int innerDark) {
    int l = r.x, t = r.y, rt = r.x + r.w - 1, b = r.y + r.h - 1;
    HLine(s, outerLight, l, rt - 1, t);
    VLine(s, outerLight, l, t, b - 1);
    HLine(s, outerDark, l, rt, b);
    VLine(s, outerDark, rt, t, b);
    HLine(s, innerLight, l + 1, rt - 2, t + 1);
    VLine(s, innerLight, l + 1, t + 1, b - 2);
    HLine(s, innerDark, l + 1, rt - 1, b - 1);
    VLine(s, innerDark, rt - 1, t + 1, b - 1);
}

// The raised edge of a button, or its pushed-in form.
void Edge(Surface *s, const DialogRect &r, bool pushed) {
    if (pushed) Frame(s, r, kInk, kInk, kShadow, kFace);
    else Frame(s, r, kWhite, kInk, kLight, kShadow);
}

// A sunken field's edge (the combo box).
void Sunken(Surface *s, const DialogRect &r) { Frame(s, r, kShadow, kWhite, kDarkShadow, kLight); }

// The dotted focus frame.
void FocusFrame(Surface *s, int l, int t, int r, int b) {
    for (int x = l; x <= r; x += 2) {
        PutPixel(s, kInk, x, t);
        PutPixel(s, kInk, x, b);
    }
    for (int y = t; y <= b; y += 2) {
        PutPixel(s, kInk, l, y);
        PutPixel(s, kInk, r, y);
    }
}

int Ascent() {
    const Surface *a = gFont ? gFont->glyph['A'] : nullptr;
    return a ? a->hotY : 9;
}

int TextWidth(const std::string &text) {
    int w = 0, h = 0;
    dunMeasureText(text.c_str(), gFont, &w, &h);
    return w;
}

void Text(Surface *s, const std::string &text, int x, int baseline, int colour, const ClipRect &clip) {
    int cx = x, cy = baseline;
    dunDrawText(s, &cx, &cy, text.c_str(), gFont, colour, &clip);
}

// A caption cut into the lines that fit `width`, at blanks.
std::vector<std::string> Lines(const char *caption, int width) {
    std::vector<std::string> lines;
    std::string line, word;
    std::string text = std::string(caption) + ' ';
    for (char ch : text) {
        if (ch != ' ') {
            word += ch;
            continue;
        }
        std::string joined = line.empty() ? word : line + ' ' + word;
        if (!line.empty() && TextWidth(joined) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = joined;
        }
        word.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void DrawButton(Surface *s, const ControlTemplate &c) {
    DialogRect r = ToPixels(c);
    bool enabled = LauncherControlEnabled(c.id);
    bool pushed = gDialog.pressed == c.id && gDialog.pressedIn;
    FillRect(s, kFace, r.x, r.y, r.x + r.w - 1, r.y + r.h - 1);
    Edge(s, r, pushed);
    std::vector<std::string> lines = Lines(c.caption, r.w - 8);
    int lh = gFont->lineHeight;
    int top = r.y + (r.h - lh * int(lines.size())) / 2 + (pushed ? 1 : 0);
    ClipRect clip{int16_t(r.x + 2), int16_t(r.y + 2), int16_t(r.x + r.w - 3), int16_t(r.y + r.h - 3)};
    for (size_t i = 0; i < lines.size(); ++i) {
        int x = r.x + (r.w - TextWidth(lines[i])) / 2 + (pushed ? 1 : 0);
        int base = top + int(i) * lh + Ascent() + (lh - Ascent()) / 2 - 1;
        if (enabled) {
            Text(s, lines[i], x, base, kInk, clip);
        } else {
            // Grey, with the white of an engraving below it.
            Text(s, lines[i], x + 1, base + 1, kWhite, clip);
            Text(s, lines[i], x, base, kShadow, clip);
        }
    }
    if (gDialog.focus == c.id && enabled) FocusFrame(s, r.x + 4, r.y + 4, r.x + r.w - 5, r.y + r.h - 5);
}

void DrawArrow(Surface *s, int cx, int cy, int colour) {
    for (int i = 0; i < 4; ++i) HLine(s, colour, cx - 3 + i, cx + 3 - i, cy - 1 + i);
}

void DrawCombo(Surface *s, const ControlTemplate &c) {
    DialogRect r = ToPixels(c);
    bool enabled = LauncherControlEnabled(c.id);
    FillRect(s, enabled ? kWhite : kFace, r.x, r.y, r.x + r.w - 1, r.y + r.h - 1);
    Sunken(s, r);
    // The drop button on the right.
    int bw = 16;
    DialogRect button{r.x + r.w - 2 - bw, r.y + 2, bw, r.h - 4};
    FillRect(s, kFace, button.x, button.y, button.x + button.w - 1, button.y + button.h - 1);
    Edge(s, button, gDialog.listOpen);
    DrawArrow(s, button.x + bw / 2, button.y + button.h / 2, enabled ? kInk : kShadow);
    // The chosen entry.
    DialogRect field{r.x + 3, r.y + 3, r.w - 6 - bw, r.h - 6};
    bool focused = gDialog.focus == c.id && enabled && !gDialog.listOpen;
    if (focused) FillRect(s, kSelection, field.x, field.y, field.x + field.w - 1, field.y + field.h - 1);
    int choice = gLauncher.rendererChoice;
    if (choice >= 0 && choice < kRendererCount) {
        ClipRect clip{int16_t(field.x), int16_t(field.y), int16_t(field.x + field.w - 1),
                      int16_t(field.y + field.h - 1)};
        int base = field.y + (field.h + Ascent()) / 2 - 1;
        Text(s, kRendererNames[choice], field.x + 2, base, focused ? kWhite : enabled ? kInk : kShadow, clip);
    }
    if (focused) FocusFrame(s, field.x, field.y, field.x + field.w - 1, field.y + field.h - 1);
}

void DrawList(Surface *s) {
    DialogRect r = ListRect();
    FillRect(s, kWhite, r.x, r.y, r.x + r.w - 1, r.y + r.h - 1);
    HLine(s, kInk, r.x, r.x + r.w - 1, r.y);
    HLine(s, kInk, r.x, r.x + r.w - 1, r.y + r.h - 1);
    VLine(s, kInk, r.x, r.y, r.y + r.h - 1);
    VLine(s, kInk, r.x + r.w - 1, r.y, r.y + r.h - 1);
    ClipRect clip{int16_t(r.x + 1), int16_t(r.y + 1), int16_t(r.x + r.w - 2), int16_t(r.y + r.h - 2)};
    for (int i = 0; i < kRendererCount; ++i) {
        int top = r.y + 1 + i * RowHeight();
        bool chosen = i == gDialog.listRow;
        if (chosen) FillRect(s, kSelection, r.x + 1, top, r.x + r.w - 2, top + RowHeight() - 1);
        Text(s, kRendererNames[i], r.x + 3, top + (RowHeight() + Ascent()) / 2 - 1, chosen ? kWhite : kInk, clip);
    }
}

void DrawPicture(Surface *s, const ControlTemplate &c) {
    if (!gPicture) return;
    DialogRect r = ToPixels(c);
    // The picture centred in its control, which it does not leave.
    Surface area{s->pixels + size_t(r.y) * size_t(s->pitch) + size_t(r.x) * 2, int16_t(r.w), int16_t(r.h), 0, 0,
                 s->pitch, 2};
    BlitSurface(&area, AsSurface(gPicture), (r.w - gPicture->width) / 2, (r.h - gPicture->height) / 2);
}

// ---- Focus and the controls' actions ----------------------------------------------

void MoveFocus(int step) {
    const int n = int(sizeof kDialog102 / sizeof kDialog102[0]);
    int at = step > 0 ? -1 : 0;  // without a focus: from the first control
    for (int i = 0; i < n; ++i)
        if (kDialog102[i].id == gDialog.focus) at = i;
    for (int k = 1; k <= n; ++k) {
        const ControlTemplate &c = kDialog102[((at + step * k) % n + n) % n];
        if (Focusable(c)) {
            gDialog.focus = c.id;
            return;
        }
    }
}

void Choose(int row) {
    if (row < 0 || row >= kRendererCount) return;
    gDialog.listRow = row;
    if (row != gLauncher.rendererChoice) OnRendererChange(row);
}

void OpenList(bool open) {
    gDialog.listOpen = open;
    gDialog.listRow = gLauncher.rendererChoice;
}

}  // namespace

DialogRect DialogControlRect(int id) {
    const ControlTemplate *c = Find(id);
    return c ? ToPixels(*c) : DialogRect{0, 0, 0, 0};
}

int DialogControlAt(int x, int y) {
    for (const auto &c : kDialog102)
        if (c.kind != kPicture && Inside(ToPixels(c), x, y)) return c.id;
    return 0;
}

int DialogListRowAt(int x, int y) {
    if (!gDialog.listOpen) return -1;
    DialogRect r = ListRect();
    if (!Inside(r, x, y) || y < r.y + 1) return -1;
    int row = (y - r.y - 1) / RowHeight();
    return row < kRendererCount ? row : -1;
}

bool DialogLoadResources() {
    DialogFreeResources();
    BuildPalette();
    uint32_t size = FonFontSize(kDialogFont);
    if (size) {
        gFontBlock = std::malloc(size);
        uint32_t capacity = size;
        gFont = static_cast<BitmapFont *>(LoadFonFont(kDialogFont, gFontBlock, &capacity));
    }
    size = PcxRasterSize(kDialogPicture);
    if (size) {
        void *block = std::malloc(size);
        uint32_t capacity = size;
        gPicture = static_cast<Raster *>(LoadPcxRaster(kDialogPicture, block, &capacity));
        if (!gPicture) std::free(block);
    }
    return gFont != nullptr;
}

void DialogFreeResources() {
    std::free(gFontBlock);
    std::free(gPicture);
    gFontBlock = nullptr;
    gFont = nullptr;
    gPicture = nullptr;
}

void DialogReset() {
    gDialog = DialogState{};
    gDialog.focus = 0;
    MoveFocus(1);
}

void DialogMouseDown(int x, int y) {
    if (gDialog.listOpen) {
        // A click while the list is down picks a row or only closes it.
        int row = DialogListRowAt(x, y);
        gDialog.listOpen = false;
        Choose(row);
        return;
    }
    int id = DialogControlAt(x, y);
    if (!id || !LauncherControlEnabled(id)) return;
    gDialog.focus = id;
    if (id == IDC_RENDERER) {
        OpenList(true);
        return;
    }
    gDialog.pressed = id;
    gDialog.pressedIn = true;
}

void DialogMouseMove(int x, int y) {
    if (gDialog.pressed) gDialog.pressedIn = DialogControlAt(x, y) == gDialog.pressed;
    int row = DialogListRowAt(x, y);
    if (row >= 0) gDialog.listRow = row;
}

void DialogMouseUp(int x, int y) {
    int id = gDialog.pressed;
    gDialog.pressed = 0;
    gDialog.pressedIn = false;
    // A press counts where it is let go over the same button.
    if (id && DialogControlAt(x, y) == id) LauncherCommand(id);
}

void DialogKeyDown(int scanCode, bool alt) {
    enum { kEscape = 0x01, kTab = 0x0F, kEnter = 0x1C, kLeftShift = 0x2A, kRightShift = 0x36, kSpace = 0x39,
           kF4 = 0x3E, kUp = 0x48, kDown = 0x50 };
    if (scanCode == kLeftShift || scanCode == kRightShift) {
        gDialog.shift = true;
        return;
    }
    if (gDialog.listOpen) {
        switch (scanCode) {
            case kUp: if (gDialog.listRow > 0) --gDialog.listRow; break;
            case kDown: if (gDialog.listRow < kRendererCount - 1) ++gDialog.listRow; break;
            case kEnter: case kF4: gDialog.listOpen = false; Choose(gDialog.listRow); break;
            case kEscape: gDialog.listOpen = false; break;
            default: break;
        }
        return;
    }
    bool onCombo = gDialog.focus == IDC_RENDERER && LauncherControlEnabled(IDC_RENDERER);
    switch (scanCode) {
        case kTab: MoveFocus(gDialog.shift ? -1 : 1); break;
        case kEscape: LauncherCommand(IDCANCEL); break;
        case kEnter:
        case kSpace:
            if (!onCombo && gDialog.focus) LauncherCommand(gDialog.focus);
            break;
        case kF4:
            if (onCombo) OpenList(true);
            break;
        case kUp:
        case kDown:
            if (onCombo && alt) OpenList(true);
            else if (onCombo) Choose(gLauncher.rendererChoice + (scanCode == kUp ? -1 : 1));
            break;
        default: break;
    }
}

void DialogKeyUp(int scanCode) {
    if (scanCode == 0x2A || scanCode == 0x36) gDialog.shift = false;
}

void DialogDraw(Surface *surface) {
    const uint8_t *oldPalette = CurrentPalette;
    CurrentPalette = gPalette;
    FillRect(surface, kFace, 0, 0, surface->width - 1, surface->height - 1);
    for (const auto &c : kDialog102) {
        if (c.kind == kPicture) DrawPicture(surface, c);
        else if (!gFont) continue;
        else if (c.kind == kButton) DrawButton(surface, c);
        else DrawCombo(surface, c);
    }
    if (gDialog.listOpen && gFont) DrawList(surface);
    CurrentPalette = oldPalette;
}

int RunDialog() {
    osInstallQuitSignals();
    PixelDepth = 16;
    BytesPerPixel = 2;
    if (!DialogLoadResources()) {
        std::fprintf(stderr, "installer: the dialog's font %s is missing\n", kDialogFont);
        return 1;
    }
    if (!osInitVideo() || !osCreateMainWindow(kDialogCaption, OS_WINDOW_FRAMED, kDialogWidth, kDialogHeight)) {
        DialogFreeResources();
        return 1;
    }
    osDisplayUseWindow(osMainWindowHandle());
    if (osDisplayOpen({kDialogWidth, kDialogHeight, 16, false, false}) != OsDisplayResult::Ok) {
        osDestroyMainWindow();
        DialogFreeResources();
        return 1;
    }
    OnInitDialog();
    DialogReset();
    std::vector<uint8_t> pixels(size_t(kDialogWidth) * kDialogHeight * 2);
    Surface screen{pixels.data(), kDialogWidth, kDialogHeight, 0, 0, kDialogWidth * 2, 2};
    bool redraw = true;
    while (!gLauncher.quit) {
        OsMessage m;
        while (!gLauncher.quit && osPeekMessage(&m)) {
            redraw = true;
            switch (m.type) {
                case OSM_QUIT: gLauncher.quit = true; break;
                case OSM_CLOSE: LauncherCommand(IDCANCEL); break;
                case OSM_LBUTTONDOWN:
                case OSM_LBUTTONDBLCLK: DialogMouseDown(m.x, m.y); break;
                case OSM_MOUSEMOVE: DialogMouseMove(m.x, m.y); break;
                case OSM_LBUTTONUP: DialogMouseUp(m.x, m.y); break;
                case OSM_KEYDOWN: DialogKeyDown(m.keyData & 0xFF, false); break;
                case OSM_SYSKEYDOWN: DialogKeyDown(m.keyData & 0xFF, true); break;
                case OSM_KEYUP:
                case OSM_SYSKEYUP: DialogKeyUp(m.keyData & 0xFF); break;
                default: break;
            }
        }
        if (redraw && !gLauncher.quit) {
            DialogDraw(&screen);
            osDisplayPresent(pixels.data(), kDialogWidth * 2, nullptr);
            redraw = false;
        }
        osSleep(10);
    }
    osDisplayClose();
    osDestroyMainWindow();
    DialogFreeResources();
    return 0;
}
