// Full-screen films: opened, stepped one frame per idle turn by the main loop
// and stopped, on each display driver's kind of screen.
#include <cstring>

#include "platform/hooks.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "platform/video_detail.h"

namespace film {

// ---- Palettes ---------------------------------------------------------------

// The film's colours on 10..245, the game's own on the system entries.
bool ApplyPaletteKeepingSystem() {
    Smack *smk = gVideo.full;
    if (!smk) return false;
    for (int i = 0; i < 256; ++i) {
        uint8_t *e = &gVideo.palette[4 * i];
        if (i < 10 || i > 245) {
            if (CurrentPalette) std::memcpy(e, CurrentPalette + 4 * i, 4);
            else std::memset(e, 0, 4);
        } else {
            e[0] = smk->Palette[3 * i];
            e[1] = smk->Palette[3 * i + 1];
            e[2] = smk->Palette[3 * i + 2];
            e[3] = 0;
        }
    }
    DisplayLoadPalette(gVideo.palette);
    return true;
}

bool ApplyPaletteWhole() {
    Smack *smk = gVideo.full;
    if (!smk) return false;
    for (int i = 0; i < 256; ++i) {
        gVideo.palette[4 * i] = smk->Palette[3 * i];
        gVideo.palette[4 * i + 1] = smk->Palette[3 * i + 1];
        gVideo.palette[4 * i + 2] = smk->Palette[3 * i + 2];
        gVideo.palette[4 * i + 3] = 0;
    }
    DisplayLoadPalette(gVideo.palette);
    return true;
}

// ---- Full screen ------------------------------------------------------------

namespace {

void ShowDoubled() {
    Smack *smk = gVideo.full;
    Surface *s = Screen();
    if (!s->pixels) return;
    BlitDoubled(gVideo.doubleBuffer.data(), int(smk->Width), int(smk->Height), s, Rgb() ? gVideo.palette : nullptr);
}

// The full-screen driver's video surface, centred on the screen, or
// stretched to twice its size from the screen's top left corner; clipped to
// the screen.
void ShowSurface() {
    Smack *smk = gVideo.full;
    Surface *s = Screen();
    if (!s->pixels) return;
    if (gVideo.doubled) {
        BlitDoubledAt(gVideo.surface.data(), int(smk->Width), int(smk->Height), s, 0, 0,
                      Rgb() ? gVideo.palette : nullptr);
        return;
    }
    const int bpp = Rgb() ? 2 : 1, w = int(smk->Width), h = int(smk->Height);
    CopySpan sp;
    if (!ClipCopy((s->width - w) / 2, (s->height - h) / 2, w, h, {0, 0, s->width - 1, s->height - 1}, &sp)) return;
    for (int y = 0; y < sp.h; ++y)
        std::memcpy(s->pixels + ptrdiff_t(sp.dy + y) * s->pitch + ptrdiff_t(sp.dx) * bpp,
                    &gVideo.surface[(size_t(sp.sy + y) * smk->Width + size_t(sp.sx)) * size_t(bpp)],
                    size_t(sp.w) * size_t(bpp));
}

}  // namespace

bool OpenFullScreen(Kind kind, const char *path) {
    gVideo.started = true;
    gVideo.firstFrame = true;
    if (kind == Kind::DDraw) gVideo.doubled = false;
    gVideo.startFrame = gVideo.stopFrame = -1;
    if (gVideo.full) {
        SmackClose(gVideo.full);
        gVideo.full = nullptr;
    }
    Smack *smk = SmackOpen(path, kSmackAllTracks, -1);
    if (!smk) return false;
    gVideo.full = smk;
    if (smk->Width == 320) gVideo.doubled = true;
    Surface *s = Screen();
    if (kind == Kind::DDraw) {
        // The video surface: at the screen's depth, or 8-bit when it is to be
        // doubled (the doubling goes through the palette).
        bool rgb = Rgb() && !gVideo.doubled;
        gVideo.surface.assign(size_t(smk->Width) * smk->Height * (rgb ? 2 : 1), 0);
        SmackToBuffer(smk, 0, 0, int32_t(smk->Width) * (rgb ? 2 : 1), int32_t(smk->Height), gVideo.surface.data(),
                      rgb ? kSmackBufferRgb565 : 0);
    } else if (!gVideo.doubled) {
        SmackToBuffer(smk, (s->width - int(smk->Width)) / 2, (s->height - int(smk->Height)) / 2, s->pitch, s->height,
                      s->pixels, Rgb() ? kSmackBufferRgb565 : 0);
    } else {
        gVideo.doubleBuffer.assign(size_t(smk->Width) * smk->Height, 0);
        SmackToBuffer(smk, 0, 0, int32_t(smk->Width), int32_t(smk->Height), gVideo.doubleBuffer.data(), 0);
    }
    return true;
}

bool Step(Kind kind) {
    Smack *smk = gVideo.full;
    if (!smk) return false;
    if (gVideo.firstFrame) {
        gVideo.firstFrame = false;
        if (kind == Kind::DDraw) {
            Clear();
        } else if (!gVideo.doubled) {
            // The card shows one buffer while the game draws the other: it
            // clears, presents and begins twice, so that both are cleared.
            for (int pass = kind == Kind::Card ? 2 : 1; pass > 0; --pass) {
                Clear();
                Present();
                BeginFrame();
            }
        }
    }
    if (SmackWait(smk)) return true;
    if (kind == Kind::DDraw) {
        SmackDoFrame(smk);
        if (smk->NewPalette) ApplyPaletteWhole();
        ShowSurface();
        Present();
    } else {
        if (smk->NewPalette) ApplyPaletteKeepingSystem();
        SmackDoFrame(smk);
        if (gVideo.doubled) ShowDoubled();
        Present();
    }
    // After the last frame, or when the film breaks off, the film ends.
    if (smk->FrameNum + 1 >= smk->Frames || smk->broken) {
        if (kind == Kind::Card) Present();
        StopFullScreen(kind);
        return false;
    }
    SmackNextFrame(smk);
    return true;
}

void StopFullScreen(Kind kind) {
    if (kind == Kind::DDraw) {
        // The full-screen driver's stop is its close of the full-screen film.
        if (gVideo.full) CloseWindowVideo(kind, gVideo.full);
        gVideo.full = nullptr;
        gVideo.surface.clear();
        gVideo.doubled = false;
        return;
    }
    if (gVideo.full) {
        SmackClose(gVideo.full);
        gVideo.full = nullptr;
        if (VideoPlaying && gVideo.started) {
            bool keepPalette = false;
            if (!gVideo.doubled) {
                Clear();
            } else {
                if (GuiWindow *root = up::RootWindow()) {
                    if (kind == Kind::Card && CardMode) {
                        // The card draws its 3D view again, into each of its
                        // two buffers.
                        up::RenderSceneToView(-1);
                        Present();
                        BeginFrame();
                        up::RenderSceneToView(-1);
                    } else if (!up::GuiHidden()) {
                        up::DrawRaster(root);
                    }
                    keepPalette = (up::WindowFlags(root) & 0x10000) != 0;
                }
                gVideo.doubled = false;
                gVideo.doubleBuffer.clear();
            }
            Present();
            BeginFrame();
            if (!keepPalette) DisplayLoadPalette(CurrentPalette);
            up::MarkRedraw();
        }
    }
    gVideo.doubled = false;
    gVideo.doubleBuffer.clear();
    SoundResumeAll();
    VideoPlaying = 0;
}

}  // namespace film
