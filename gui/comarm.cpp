// The comms arm: a panel that slides in (a clip played into its own buffer)
// while the dialogue runs and shows the speaker; the crew speaker's portrait
// clips.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/util.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/station.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "platform/smack.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "script/dialogue.h"
#include "script/mission.h"

uint8_t gComArmShown;
uint8_t gComArmReopen;
uint8_t gComClipsFrozen;
int16_t gSpeakerIndex = -1;
uint16_t gSpeakerClipMode = 0xFFFF;
int16_t gSpeakerClip = -1;
int16_t gSpeakerLastClip = -1;
int16_t gSpeakerStartCount;
SceneItem *gSpeakerDrawn;
GuiWindow *gGuiChoiceWindow;

const char *const kCrewNames[kCrewCount] = {"Wingman", "Helm", "Tactical", "Engineer", "Comms", "Doctor", "Marine"};

namespace {

const char kCrewPrefixes[kCrewCount] = {'w', 'h', 't', 'e', 'c', 'd', 'm'};
const char *const kClipKinds[13] = {"lookup", "lookdown", "work1",   "work2",  "work3",  "listen1", "listen2",
                                    "listen3", "listen4", "talk1", "talk2", "talk3", "talk4"};
constexpr int kModeFirst[3] = {2, 5, 9}, kModeCount[3] = {3, 4, 4};

// The arm's buffer and its two clips.
uint8_t *gArmPixels;
Surface gArm;
Smack *gOpening, *gClosing;
// The portrait clip playing in the inset.
Smack *gPortrait;
int16_t gPortraitClip = -1;

// A clip of the video folder; null when it is missing (it is then skipped).
Smack *OpenClip(const char *name) { return SmackOpenByName(name); }

void Close(Smack *&clip) {
    if (clip) SmackClose(clip);
    clip = nullptr;
}

// Decodes the clip's next due frame into the arm buffer; false once it has
// shown its last frame.
bool StepClip(Smack *clip, Surface *into) {
    if (!clip) return false;
    if (SmackWait(clip) != 0) return true;
    if (into && into->pixels)
        SmackToBuffer(clip, 0, 0, into->pitch, into->height, into->pixels,
                      SurfaceBytesPerPixel(into) == 2 ? kSmackBufferRgb565 : 0);
    SmackDoFrame(clip);
    if (clip->FrameNum + 1 >= clip->Frames) return false;
    SmackNextFrame(clip);
    return true;
}

bool EnsureBuffer() {
    const Surface *screen = guiScreen();
    const int bpp = screen ? SurfaceBytesPerPixel(screen) : (BytesPerPixel == 2 ? 2 : 1);
    // A buffer of another depth (the display changed) is made again.
    if (gArmPixels && gArm.bytesPerPixel == bpp) return true;
    std::free(gArmPixels);
    gArmPixels = static_cast<uint8_t *>(std::calloc(size_t(kComArmWidth) * kComArmHeight * bpp, 1));
    if (!gArmPixels) return false;
    gArm = Surface{gArmPixels, kComArmWidth, kComArmHeight, 0, 0, int16_t(kComArmWidth * bpp), int16_t(bpp)};
    return true;
}

// The panel under the arm, from the screen, so the clip slides over it.
void CopyBackground() {
    const Surface *s = guiScreen();
    if (!s || !s->pixels || !gArmPixels || SurfaceBytesPerPixel(s) != gArm.bytesPerPixel) return;
    const int bpp = gArm.bytesPerPixel;
    for (int row = 0; row < kComArmHeight; ++row) {
        const int sy = gComArmY + row;
        if (sy < 0 || sy >= s->height) continue;
        for (int col = 0; col < kComArmWidth; ++col) {
            const int sx = gComArmX + col;
            if (sx < 0 || sx >= s->width) continue;
            std::memcpy(gArmPixels + size_t(row) * gArm.pitch + size_t(col) * bpp,
                        s->pixels + size_t(sy) * s->pitch + size_t(sx) * bpp, size_t(bpp));
        }
    }
}

Raster *ArmSprite() {
    ResourceHandle *h = static_cast<ResourceHandle *>(GetScriptSymbolValue("COMArm"));
    if (!h || h < RESMAN.handles || h >= RESMAN.handles + ResourceHandleCount) return nullptr;
    return guiRaster(h);
}

}  // namespace

void guiToggleComArm() {
    SoundPlay(28, 0, 0, 0, 0);
    if (gGuiComArmOpen) {
        dunClearDialogue();
        Close(gOpening);
        Close(gClosing);
        gClosing = OpenClip("NAVArmOu.smk");
        // Without its closing clip the arm goes at once.
        if (!gClosing) {
            gGuiComArmOpen = 0;
            gComArmShown = 0;
            guiMarkRedraw();
        }
        return;
    }
    if (gGuiFullScreen) guiLeaveFullScreen();
    if (!EnsureBuffer()) return;
    CopyBackground();
    Close(gOpening);
    gOpening = OpenClip("NAVArmIn.smk");
    if (gOpening) gGuiComArmOpen = 1;
}

void guiCloseComArm() {
    if (gGuiComArmOpen) guiToggleComArm();
}

void guiCloseComArmVideos() {
    Close(gOpening);
    Close(gClosing);
    gGuiComArmOpen = 0;
    gComArmShown = 0;
}

void guiComArmStandUp() {
    if (!gGuiComArmOpen) return;
    guiCloseComArmVideos();
    gComArmReopen = 1;
    guiMarkRedraw();
}

void guiDrawComArmWindow(GuiWindow *window) {
    if (gComArmReopen) {
        if (!gGuiComArmOpen && dunIsDialoguePlaying(nullptr)) guiToggleComArm();
        gComArmReopen = 0;
    }
    Surface *s = guiScreen();
    if (gOpening) {
        if (!StepClip(gOpening, &gArm)) Close(gOpening);
    } else if (gClosing) {
        if (!StepClip(gClosing, &gArm)) {
            Close(gClosing);
            gGuiComArmOpen = 0;
            gComArmShown = 0;
            guiMarkRedraw();
        }
    } else if (gGuiComArmOpen && s) {
        guiDrawSpeakerInset(gComArmInner.left, gComArmInner.top, gComArmInner.right, gComArmInner.bottom);
        if (Raster *sprite = ArmSprite()) BlitSpriteClipped(s, AsSurface(sprite), &gComArmScreen, gComArmX, gComArmY);
        gComArmShown = 1;
    }
    if (gComArmShown && !dunIsDialoguePlaying(nullptr)) {
        gComArmShown = 0;
        guiToggleComArm();
    }
    if (window) guiReload(window);
}

void guiDrawComArm() {
    if (!(gOpening || gClosing) || !gArmPixels) return;
    if (gGuiScreen && gGuiScreen->name && !std::strcmp(gGuiScreen->name, "OptionScreen")) return;
    Surface *s = guiScreen();
    if (s && SurfaceBytesPerPixel(s) == gArm.bytesPerPixel) BlitSurface(s, &gArm, gComArmX, gComArmY);
}

// ---- Crew speaker -------------------------------------------------------------------------

void guiSetSpeaker(const char *name) {
    int16_t found = -1;
    for (int i = 0; name && i < kCrewCount; ++i)
        if (!strcasecmp(name, kCrewNames[i])) found = int16_t(i);
    if (found < 0) {
        gSpeakerIndex = -1;
        gSpeakerClip = -1;
        return;
    }
    if (found == gSpeakerIndex) return;
    gSpeakerIndex = found;
    gSpeakerClip = 0;
    gSpeakerStartCount = 4;
}

int16_t guiNextSpeakerClip() {
    if (gSpeakerClipMode > 2) return -1;
    if (gSpeakerClipMode == 1 && --gSpeakerStartCount <= 0) {
        gSpeakerClipMode = 0;
        gSpeakerStartCount = 4;
        gSpeakerClip = gSpeakerLastClip = 1;
        return 1;
    }
    const int mode = gSpeakerClipMode;
    int clip = kModeFirst[mode] + dunRand15() % kModeCount[mode];
    if (clip == gSpeakerLastClip) {
        ++clip;
        if (clip >= kModeFirst[mode] + kModeCount[mode]) clip = kModeFirst[mode];
    }
    gSpeakerClip = gSpeakerLastClip = int16_t(clip);
    return gSpeakerClip;
}

void guiSpeakerClipName(int crew, int clip, char *out, int size) {
    if (size <= 0) return;
    out[0] = 0;
    if (crew < 0 || crew >= kCrewCount || clip < 0 || clip >= 13) return;
    const char *kind = crew == 0 && clip == 0 ? "approachcamera" : kClipKinds[clip];
    std::snprintf(out, size_t(size), "\\%c_%s.smk", kCrewPrefixes[crew], kind);
}

void guiDrawSpeakerInset(int x0, int y0, int x1, int y1) {
    Surface *s = guiScreen();
    if (!s || !dunIsDialoguePlaying(nullptr)) return;
    Surface inset = *s;
    const int bpp = SurfaceBytesPerPixel(s);
    if (x0 < 0 || y0 < 0 || x1 >= s->width || y1 >= s->height || x1 < x0 || y1 < y0) return;
    inset.pixels = s->pixels + size_t(y0) * s->pitch + size_t(x0) * bpp;
    inset.width = int16_t(x1 - x0 + 1);
    inset.height = int16_t(y1 - y0 + 1);
    if (gSpeakerIndex >= 0) {
        if (gSpeakerClip >= 0 && gSpeakerClip != gPortraitClip) {
            Close(gPortrait);
            char name[64];
            guiSpeakerClipName(gSpeakerIndex, gSpeakerClip, name, sizeof name);
            gPortrait = OpenClip(name);
            gPortraitClip = gSpeakerClip;
        }
        if (gPortrait && !StepClip(gPortrait, &inset)) {
            Close(gPortrait);
            gPortraitClip = -1;
            guiNextSpeakerClip();
        }
        return;
    }
    // An object speaker: drawn afresh once, then kept while it speaks.
    if (gDialogueSpeaking && gDialogueSpeaking != gSpeakerDrawn) gSpeakerDrawn = gDialogueSpeaking;
}

// Over the view without panels, the speaker shows in a framed box at the top
// right while a line plays; with the panels it is in the comms arm.
void guiDrawCockpitOverlay() {
    Surface *s = guiScreen();
    if (!s || !gGuiFullScreen || !dunIsDialoguePlaying(nullptr)) return;
    const int x0 = s->width - 160, y0 = 10, x1 = x0 + 139, y1 = y0 + 119;
    guiDrawFrame(s, GuiColour::Highlight, x0, y0, x1, y1);
    guiDrawSpeakerInset(x0 + 1, y0 + 1, x1 - 1, y1 - 1);
}
