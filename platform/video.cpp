#include "platform/video.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "gui/redraw.h"
#include "gui/gui.h"
#include "gui/station.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "platform/sound.h"


namespace {

enum class Kind { Gdi, DDraw, Card };

struct State {
    Smack *full = nullptr;
    bool started = false;
    bool firstFrame = false;
    bool doubled = false;
    std::vector<uint8_t> doubleBuffer;  // the doubled film's own frame
    std::vector<uint8_t> surface;       // the full-screen driver's video surface
    int16_t startFrame = -1;
    int16_t stopFrame = -1;
    int32_t currentFrame = 0;
    uint8_t keyed = 0;
    int32_t spare = 0;
    bool held = false;
    char name[260] = {};
    std::vector<Smack *> windowVideos;  // open window videos, to tell a stale handle
    uint8_t palette[1024] = {};         // the palette a film put on the display
};
State gVideo;

bool Live(Smack *smk) {
    for (Smack *s : gVideo.windowVideos)
        if (s == smk) return true;
    return smk && smk == gVideo.full;
}

Surface *Screen() { return &ScreenSurface; }
bool Rgb() { return PixelDepth == 16; }
void Present() { DisplayPresent(&TheDisplayMode); }
void BeginFrame() { DisplayBeginFrame(&TheDisplayMode); }

void Clear() {
    if (Screen()->pixels) ClearSurface(Screen(), 0);
}

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

void ShowDoubled() {
    Smack *smk = gVideo.full;
    Surface *s = Screen();
    if (!s->pixels) return;
    BlitDoubled(gVideo.doubleBuffer.data(), int(smk->Width), int(smk->Height), s->pixels, s->width, s->height, s->pitch,
                Rgb() ? gVideo.palette : nullptr);
}

// The full-screen driver's video surface, centred on the screen (or doubled
// from the top left), clipped to the screen.
void ShowSurface() {
    Smack *smk = gVideo.full;
    Surface *s = Screen();
    if (!s->pixels) return;
    if (gVideo.doubled) {
        BlitDoubled(gVideo.surface.data(), int(smk->Width), int(smk->Height), s->pixels, s->width, s->height, s->pitch,
                    Rgb() ? gVideo.palette : nullptr);
        return;
    }
    int bpp = Rgb() ? 2 : 1;
    int w = int(smk->Width), h = int(smk->Height);
    int dx = (s->width - w) / 2, dy = (s->height - h) / 2, sx = 0, sy = 0;
    if (dx < 0) sx = -dx, w = s->width, dx = 0;
    if (dy < 0) sy = -dy, h = s->height, dy = 0;
    for (int y = 0; y < h; ++y)
        std::memcpy(s->pixels + ptrdiff_t(dy + y) * s->pitch + ptrdiff_t(dx) * bpp,
                    &gVideo.surface[(size_t(sy + y) * smk->Width + size_t(sx)) * size_t(bpp)], size_t(w * bpp));
}

void StopFullScreen(Kind kind);

bool Step(Kind kind) {
    Smack *smk = gVideo.full;
    if (!smk) return false;
    if (gVideo.firstFrame) {
        gVideo.firstFrame = false;
        if (kind == Kind::DDraw) {
            Clear();
        } else if (!gVideo.doubled) {
            Clear();
            Present();
            BeginFrame();
            if (kind == Kind::Card) {
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

void CloseWindowVideo(Kind kind, Smack *smk);

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
                if (GuiWindow *root = guiRootWindow()) {
                    if (!gGuiHidden) guiDrawRaster(root);
                    keepPalette = (guiWindowFlags(root) & 0x10000) != 0;
                }
                gVideo.doubled = false;
                gVideo.doubleBuffer.clear();
            }
            Present();
            BeginFrame();
            if (!keepPalette) DisplayLoadPalette(CurrentPalette);
            guiMarkRedraw();
        }
    }
    gVideo.doubled = false;
    gVideo.doubleBuffer.clear();
    SoundResumeAll();
    VideoPlaying = 0;
}

// ---- Window videos ----------------------------------------------------------

// The 3D-card driver at 16 bits decodes window films as RGB 5:6:5 (its
// pixelmap); every other case keeps 8-bit indices.
bool WideBuffer(Kind kind) { return kind == Kind::Card && Rgb(); }

bool OpenInWindow(Kind kind, Smack **holder, const char *path, int16_t start, int16_t stop, uint8_t keyed,
                  int32_t spare) {
    if (!holder) return false;
    gVideo.firstFrame = true;
    gVideo.held = true;
    gVideo.currentFrame = 1;
    gVideo.started = false;
    gVideo.startFrame = gVideo.stopFrame = -1;
    Smack *smk = *holder;
    if (start < 2 || !Live(smk)) {
        Smack *fresh = SmackOpen(path, kSmackAllTracks, -1);
        if (!fresh) return false;
        // A film the holder still had open is closed rather than lost.
        if (Live(smk) && smk != gVideo.full) {
            VideoBuffer *b = static_cast<VideoBuffer *>(smk->extra);
            if (b) std::free(b->pixels);
            delete b;
            SmackClose(smk);
            std::erase(gVideo.windowVideos, smk);
        }
        smk = fresh;
        size_t bpp = WideBuffer(kind) ? 2 : 1;
        VideoBuffer *b = new VideoBuffer{static_cast<uint8_t *>(std::calloc(size_t(smk->Width) * smk->Height * bpp, 1)),
                                         uint16_t(smk->Width), uint16_t(smk->Height)};
        smk->extra = b;
        if (bpp == 2)
            SmackToBuffer(smk, 0, 0, int32_t(smk->Width) * 2, int32_t(smk->Height), b->pixels, kSmackBufferRgb565);
        gVideo.windowVideos.push_back(smk);
    }
    if (start > 0) {
        gVideo.startFrame = start;
        SmackGoto(smk, uint32_t(start));
    }
    if (stop > 0) gVideo.stopFrame = stop;
    else if (gPanelOpen) gVideo.stopFrame = int16_t(smk->Frames - 1);
    gVideo.keyed = keyed;
    gVideo.spare = spare;
    *holder = smk;
    return true;
}

// Copies the window video's buffer into the screen at the rectangle, centred,
// and never beyond the film or the screen.
void CopyToRect(Kind kind, Smack *smk, const int16_t rect[4]) {
    VideoBuffer *b = static_cast<VideoBuffer *>(smk->extra);
    Surface *s = Screen();
    if (!b || !b->pixels || !s->pixels) return;
    int w = rect[2] - rect[0] + 1, h = rect[3] - rect[1] + 1;
    if (w <= 0 || h <= 0) return;
    int sx = (int(b->width) - w) / 2, sy = (int(b->height) - h) / 2;
    int dx = rect[0], dy = rect[1];
    if (sx < 0) {
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        sy = 0;
    }
    w = std::min(w, int(b->width) - sx);
    h = std::min(h, int(b->height) - sy);
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min(w, int(s->width) - dx);
    h = std::min(h, int(s->height) - dy);
    if (w <= 0 || h <= 0) return;
    if (WideBuffer(kind)) {
        // The card's 16-bit copy: keyed films leave out 0x07FF.
        for (int y = 0; y < h; ++y) {
            const uint8_t *src = b->pixels + (size_t(sy + y) * b->width + size_t(sx)) * 2;
            uint8_t *dst = s->pixels + ptrdiff_t(dy + y) * s->pitch + ptrdiff_t(dx) * 2;
            for (int x = 0; x < w; ++x) {
                uint16_t v = uint16_t(src[2 * x] | src[2 * x + 1] << 8);
                if (gVideo.keyed && v == 0x07FF) continue;
                dst[2 * x] = uint8_t(v);
                dst[2 * x + 1] = uint8_t(v >> 8);
            }
        }
        return;
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t *src = b->pixels + size_t(sy + y) * b->width + size_t(sx);
        uint8_t *dst = s->pixels + ptrdiff_t(dy + y) * s->pitch;
        for (int x = 0; x < w; ++x) {
            uint8_t c = src[x];
            if (gVideo.keyed && c == 0) continue;
            if (Rgb()) {
                uint16_t v = PaletteToRgb565(CurrentPalette, c);
                dst[2 * (dx + x)] = uint8_t(v);
                dst[2 * (dx + x) + 1] = uint8_t(v >> 8);
            } else {
                dst[dx + x] = c;
            }
        }
    }
}

bool FrameToRect(Kind kind, Smack *smk, const int16_t rect[4]) {
    gVideo.held = false;
    if (!smk || !rect || !Live(smk)) return false;
    bool stopReached = gVideo.stopFrame > 0 && int(smk->FrameNum) >= gVideo.stopFrame;
    if (kind == Kind::DDraw && stopReached) {
        gVideo.held = true;
        return true;
    }
    if ((SmackWait(smk) && smk->FrameNum != 0 && int(smk->FrameNum) != gVideo.startFrame - 1) || gComClipsFrozen) {
        CopyToRect(kind, smk, rect);
        return true;
    }
    if (stopReached) {
        CopyToRect(kind, smk, rect);
        gVideo.held = true;
        return true;
    }
    VideoBuffer *b = static_cast<VideoBuffer *>(smk->extra);
    if (smk->NewPalette && !gVideo.keyed && (kind != Kind::Card || !Rgb()) && CurrentPalette)
        SmackColorRemap(smk, CurrentPalette, 256, 4);
    if (WideBuffer(kind)) {
        SmackToBuffer(smk, 0, 0, int32_t(smk->Width) * 2, int32_t(smk->Height), b ? b->pixels : nullptr,
                      kSmackBufferRgb565);
        SmackDoFrame(smk);
        // The 140-wide clips carry magenta where the card shows black.
        if (b && smk->Width == 140)
            for (size_t i = 0; i < size_t(b->width) * b->height; ++i)
                if ((b->pixels[2 * i] | b->pixels[2 * i + 1] << 8) == 0xF81F) b->pixels[2 * i] = b->pixels[2 * i + 1] = 0;
    } else {
        SmackToBuffer(smk, 0, 0, int32_t(smk->Width), int32_t(smk->Height), b ? b->pixels : nullptr, 0);
        SmackDoFrame(smk);
    }
    CopyToRect(kind, smk, rect);
    ++gVideo.currentFrame;
    if (smk->FrameNum + 1 >= smk->Frames || smk->broken) {
        if (kind == Kind::DDraw && gVideo.keyed) {
            Present();
            BeginFrame();
            CopyToRect(kind, smk, rect);
        }
        CloseWindowVideo(kind, smk);
        return false;
    }
    SmackNextFrame(smk);
    return true;
}

void CloseWindowVideo(Kind, Smack *smk) {
    if (!smk || !Live(smk)) return;
    if (smk != gVideo.full) {
        VideoBuffer *b = static_cast<VideoBuffer *>(smk->extra);
        if (b) std::free(b->pixels);
        delete b;
    }
    std::erase(gVideo.windowVideos, smk);
    if (smk == gVideo.full) gVideo.full = nullptr;
    SmackClose(smk);
    gVideo.keyed = 0;
    gVideo.held = true;
    if (VideoPlaying && gVideo.started) {
        Clear();
        Present();
        DisplayLoadPalette(CurrentPalette);
        guiMarkRedraw();
    }
    SoundResumeAll();
    VideoPlaying = 0;
}

template <Kind K>
struct Backend {
    static bool Open(const char *path) { return OpenFullScreen(K, path); }
    static bool DoStep() { return Step(K); }
    static bool OpenWin(Smack **holder, const char *path, int16_t start, int16_t stop, uint8_t keyed, int32_t spare) {
        return OpenInWindow(K, holder, path, start, stop, keyed, spare);
    }
    static bool ToRect(Smack *smk, const int16_t rect[4]) { return FrameToRect(K, smk, rect); }
    static void DoStop() { StopFullScreen(K); }
    static void DoClose(Smack *smk) { CloseWindowVideo(K, smk); }
    static void Modal(const char *path) {
        if (K == Kind::DDraw) return;
        if (!OpenFullScreen(K, path)) return;
        VideoPlaying = 1;
        while (Step(K)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    static bool Palette() { return K == Kind::DDraw ? ApplyPaletteWhole() : ApplyPaletteKeepingSystem(); }
};

}  // namespace

const VideoBackend VideoGdiBackend = {Backend<Kind::Gdi>::Open,   Backend<Kind::Gdi>::DoStep,
                                      Backend<Kind::Gdi>::OpenWin, Backend<Kind::Gdi>::ToRect,
                                      Backend<Kind::Gdi>::DoStop, Backend<Kind::Gdi>::DoClose,
                                      Backend<Kind::Gdi>::Modal,  Backend<Kind::Gdi>::Palette};
const VideoBackend VideoDDrawBackend = {Backend<Kind::DDraw>::Open,   Backend<Kind::DDraw>::DoStep,
                                        Backend<Kind::DDraw>::OpenWin, Backend<Kind::DDraw>::ToRect,
                                        Backend<Kind::DDraw>::DoStop, Backend<Kind::DDraw>::DoClose,
                                        Backend<Kind::DDraw>::Modal,  Backend<Kind::DDraw>::Palette};
const VideoBackend Video3dBackend = {Backend<Kind::Card>::Open,   Backend<Kind::Card>::DoStep,
                                     Backend<Kind::Card>::OpenWin, Backend<Kind::Card>::ToRect,
                                     Backend<Kind::Card>::DoStop, Backend<Kind::Card>::DoClose,
                                     Backend<Kind::Card>::Modal,  Backend<Kind::Card>::Palette};

const VideoBackend *CurrentVideo() {
    switch (CurrentVideoBackend) {
        case VideoBackendKind::Window: return &VideoGdiBackend;
        case VideoBackendKind::Card: return &Video3dBackend;
        case VideoBackendKind::FullScreen: break;
    }
    return &VideoDDrawBackend;
}

VideoStateView VideoState() {
    return {gVideo.full, gVideo.started, gVideo.firstFrame, gVideo.doubled, gVideo.held,
            gVideo.startFrame, gVideo.stopFrame, gVideo.name};
}

// ---- Front operations ---------------------------------------------------------

const char *MakeVideoPath(const char *name) {
    static char path[300];
    static const char kFolder[] = "vek\\resource\\video";
    if (!name) name = "";
    if (std::strlen(name) < 13) {
        std::snprintf(path, sizeof path, "%s\\%s", kFolder, name);
    } else {
        // A long name is a path: only its last component counts. Without any
        // backslash the whole name is that component.
        const char *last = std::strrchr(name, '\\');
        if (last) std::snprintf(path, sizeof path, "%s%s", kFolder, last);
        else std::snprintf(path, sizeof path, "%s\\%s", kFolder, name);
    }
    return path;
}

bool PlayVideo(const char *name) {
    if (!name) return false;
    std::snprintf(gVideo.name, sizeof gVideo.name, "%s", name);
    const char *path = MakeVideoPath(name);
    dunFileAccessLog(path);
    return CurrentVideo()->openFullScreen(path);
}

bool StepPlayingVideo() {
    if (KeyQueueCount()) {
        KeyQueueGet();
        static const uint8_t kSkipKeys[] = {0x01, 0x3B, 0x3C, 0x3D, 0x3E, 0x19};
        bool skip = false;
        for (uint8_t k : kSkipKeys) skip = skip || KeyDownTable[k];
        if (skip) {
            VideoStop();
            guiLeaveStation();
            guiFilmSkipFrame = dunFrameCounter;
            return false;
        }
        KeyQueueReset();
    }
    return CurrentVideo()->step();
}

bool VideoOpenInWindow(Smack **holder, const char *name, int16_t start, int16_t stop, uint8_t keyed,
                       int32_t spare) {
    if (!name) return false;
    return CurrentVideo()->openInWindow(holder, MakeVideoPath(name), start, stop, keyed, spare);
}

bool VideoOpenInWindowRaw(Smack **holder, const char *path, int16_t start, int16_t stop, uint8_t keyed,
                          int32_t spare) {
    if (!path) return false;
    return CurrentVideo()->openInWindow(holder, path, start, stop, keyed, spare);
}

bool VideoFrameToRect(Smack *video, const int16_t rect[4]) { return CurrentVideo()->frameToRect(video, rect); }
void VideoClose(Smack *video) { CurrentVideo()->close(video); }
void VideoPlayModal(const char *path) { CurrentVideo()->playModal(path); }
bool VideoApplyPalette() { return CurrentVideo()->applyPalette(); }

void VideoStop() {
    CurrentVideo()->stop();
    SoundResumeAll();
}

Smack *SmackOpenByName(const char *name) { return SmackOpen(MakeVideoPath(name), kSmackAllTracks, -1); }

bool SmackNextFrameToBuffer(Smack *smk, uint8_t *buffer) {
    if (!smk) return false;
    if (SmackWait(smk) == 0 || int(smk->FrameNum) == gVideo.startFrame - 1) {
        if (smk->NewPalette && CurrentPalette) SmackColorRemap(smk, CurrentPalette, 256, 4);
        SmackToBuffer(smk, 0, 0, int32_t(smk->Width), int32_t(smk->Height), buffer, 0);
        SmackDoFrame(smk);
        if (smk->FrameNum + 1 >= smk->Frames) SmackGoto(smk, 1);  // the clip loops
        else SmackNextFrame(smk);
    }
    return true;
}
