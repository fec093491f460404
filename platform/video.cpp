// The films' back-end tables, one per display driver, and the front
// operations the rest of the game calls.
#include "platform/video.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/frame.h"
#include "core/log.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video_detail.h"

uint8_t VideoPlaying;
uint8_t MciPlaying;

namespace film {

State gVideo;

bool Live(Smack *smk) {
    for (Smack *s : gVideo.windowVideos)
        if (s == smk) return true;
    return smk && smk == gVideo.full;
}

}  // namespace film

namespace {

using namespace film;

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
    using film::gVideo;
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
    std::snprintf(film::gVideo.name, sizeof film::gVideo.name, "%s", name);
    const char *path = MakeVideoPath(name);
    dunFileAccessLog(path);
    return CurrentVideo()->openFullScreen(path);
}

const char *VideoLastName() { return film::gVideo.name; }

bool StepPlayingVideo() {
    if (KeyQueueCount()) {
        KeyQueueGet();
        static const uint8_t kSkipKeys[] = {0x01, 0x3B, 0x3C, 0x3D, 0x3E, 0x19};
        bool skip = false;
        for (uint8_t k : kSkipKeys) skip = skip || KeyDownTable[k];
        if (skip) {
            VideoStop();
            up::FilmSkipped(dunFrameCounter);
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
bool VideoWindowOpen(const Smack *video) { return video && film::Live(const_cast<Smack *>(video)); }
void VideoPlayModal(const char *path) { CurrentVideo()->playModal(path); }
bool VideoApplyPalette() { return CurrentVideo()->applyPalette(); }

void VideoStop() {
    CurrentVideo()->stop();
    SoundResumeAll();
}

Smack *SmackOpenByName(const char *name) { return SmackOpen(MakeVideoPath(name), kSmackAllTracks, -1); }

bool SmackNextFrameToBuffer(Smack *smk, uint8_t *buffer) {
    if (!smk) return false;
    if (SmackWait(smk) == 0 || int(smk->FrameNum) == film::gVideo.startFrame - 1) {
        if (smk->NewPalette && CurrentPalette) SmackColorRemap(smk, CurrentPalette, 256, 4);
        SmackToBuffer(smk, 0, 0, int32_t(smk->Width), int32_t(smk->Height), buffer, 0);
        SmackDoFrame(smk);
        if (smk->FrameNum + 1 >= smk->Frames) SmackGoto(smk, 1);  // the clip loops
        else SmackNextFrame(smk);
    }
    return true;
}
