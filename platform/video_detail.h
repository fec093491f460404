// State and steps shared by the films' source files (not for other modules):
// full-screen films (video_full.cpp), window films (video_window.cpp) and
// the back-end tables and front operations (video.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "platform/display.h"
#include "platform/smack.h"

namespace film {

// Which display driver's back-end runs.
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
extern State gVideo;

// A handle of an open film (full screen or window); false for a stale one.
bool Live(Smack *smk);

inline Surface *Screen() { return &ScreenSurface; }
inline bool Rgb() { return SurfaceBytesPerPixel(Screen()) == 2; }
inline void Present() { DisplayPresent(&TheDisplayMode); }
inline void BeginFrame() { DisplayBeginFrame(&TheDisplayMode); }
inline void Clear() {
    if (Screen()->pixels) ClearSurface(Screen(), 0);
}

// ---- Full screen (video_full.cpp)
bool ApplyPaletteKeepingSystem();
bool ApplyPaletteWhole();
bool OpenFullScreen(Kind kind, const char *path);
bool Step(Kind kind);
void StopFullScreen(Kind kind);

// ---- Window films (video_window.cpp)
bool OpenInWindow(Kind kind, Smack **holder, const char *path, int16_t start, int16_t stop, uint8_t keyed,
                  int32_t spare);
bool FrameToRect(Kind kind, Smack *smk, const int16_t rect[4]);
void CloseWindowVideo(Kind kind, Smack *smk);

}  // namespace film
