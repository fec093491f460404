// Films inside GUI window rectangles: opened or reused by a window, stepped
// by its draw routine, held on a stop frame, closed at their end.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/hooks.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "platform/video_detail.h"

namespace film {

namespace {

// The 3D-card driver at 16 bits decodes window films as RGB 5:6:5 (its
// pixelmap); every other case keeps 8-bit indices.
bool WideBuffer(Kind kind) { return kind == Kind::Card && Rgb(); }

// Copies the window video's buffer into the screen at the rectangle, centred,
// and never beyond the film or the screen.
void CopyToRect(Kind kind, Smack *smk, const int16_t rect[4]) {
    VideoBuffer *b = static_cast<VideoBuffer *>(smk->extra);
    Surface *s = Screen();
    if (!b || !b->pixels || !s->pixels) return;
    const int rw = rect[2] - rect[0] + 1, rh = rect[3] - rect[1] + 1;
    if (rw <= 0 || rh <= 0) return;
    // The film's centre lies on the rectangle's; what shows is its part
    // inside both the rectangle and the screen.
    const int64_t fx = int64_t(rect[0]) - (int(b->width) - rw) / 2;
    const int64_t fy = int64_t(rect[1]) - (int(b->height) - rh) / 2;
    const PixelBox box{std::max<int>(rect[0], 0), std::max<int>(rect[1], 0), std::min<int>(rect[2], s->width - 1),
                       std::min<int>(rect[3], s->height - 1)};
    CopySpan sp;
    if (!ClipCopy(fx, fy, b->width, b->height, box, &sp)) return;
    const int sx = sp.sx, sy = sp.sy, dx = sp.dx, dy = sp.dy, w = sp.w, h = sp.h;
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

}  // namespace

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
    else if (up::PanelOpen()) gVideo.stopFrame = int16_t(smk->Frames - 1);
    gVideo.keyed = keyed;
    gVideo.spare = spare;
    *holder = smk;
    return true;
}

bool FrameToRect(Kind kind, Smack *smk, const int16_t rect[4]) {
    gVideo.held = false;
    if (!smk || !rect || !Live(smk)) return false;
    bool stopReached = gVideo.stopFrame > 0 && int(smk->FrameNum) >= gVideo.stopFrame;
    if (kind == Kind::DDraw && stopReached) {
        gVideo.held = true;
        return true;
    }
    if ((SmackWait(smk) && smk->FrameNum != 0 && int(smk->FrameNum) != gVideo.startFrame - 1) || up::ClipsFrozen()) {
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
        up::MarkRedraw();
    }
    SoundResumeAll();
    VideoPlaying = 0;
}

}  // namespace film
