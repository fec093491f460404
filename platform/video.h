// Films: Smacker films full screen (stepped by the main loop), inside GUI
// window rectangles and as small looping clips; the film window of the intro
// list and the MPEG player.
#pragma once

#include <cstdint>

#include "platform/display.h"

struct Smack;

// The eight operations of a display driver's film back-end.
struct VideoBackend {
    bool (*openFullScreen)(const char *path);
    bool (*step)();
    bool (*openInWindow)(Smack **holder, const char *path, int16_t start, int16_t stop, uint8_t keyed,
                         int32_t spare);
    bool (*frameToRect)(Smack *video, const int16_t rect[4]);
    void (*stop)();
    void (*close)(Smack *video);
    void (*playModal)(const char *path);
    bool (*applyPalette)();
};

extern const VideoBackend VideoGdiBackend;
extern const VideoBackend VideoDDrawBackend;
extern const VideoBackend Video3dBackend;
// The back-end of the chosen display driver.
const VideoBackend *CurrentVideo();

// A window video's decoding buffer; the film's spare field points at it.
struct VideoBuffer {
    uint8_t *pixels;
    uint16_t width;
    uint16_t height;
};

// A Smacker or film-window film plays: the main loop steps it instead of
// running the game frame.
extern uint8_t VideoPlaying;
// The film that plays is the film window's.
extern uint8_t MciPlaying;

// ---- Front operations -------------------------------------------------------
const char *MakeVideoPath(const char *name);
bool PlayVideo(const char *name);
// The name PlayVideo was last given ("" before any).
const char *VideoLastName();
bool StepPlayingVideo();
bool VideoOpenInWindow(Smack **holder, const char *name, int16_t start, int16_t stop, uint8_t keyed,
                       int32_t spare);
bool VideoOpenInWindowRaw(Smack **holder, const char *path, int16_t start, int16_t stop, uint8_t keyed,
                          int32_t spare);
bool VideoFrameToRect(Smack *video, const int16_t rect[4]);
void VideoClose(Smack *video);
// True while a window film is still open (a film closes itself at its end,
// so a holder may keep a film that is gone).
bool VideoWindowOpen(const Smack *video);
void VideoPlayModal(const char *path);
bool VideoApplyPalette();
void VideoStop();
Smack *SmackOpenByName(const char *name);
bool SmackNextFrameToBuffer(Smack *video, uint8_t *buffer);

// State the tests look at.
struct VideoStateView {
    Smack *fullScreen;
    bool started, firstFrame, doubled, held;
    int16_t startFrame, stopFrame;
    const char *name;
};
VideoStateView VideoState();

// ---- Film window (intro list) and MPEG player ---------------------------------
// Plays a null-ended list of film names in the film window; false when the
// first cannot be opened.
bool VideoWindowPlayWait(const char *const *list);
void VideoWindowCreate();
// The next film of the list, or, after the last, the end of the intro.
void VideoWindowNext();
// Shows the film window's next frame when it is due; at the end of a film a
// film-stopped notice goes to the game window. The main loop calls it while
// the film window plays.
void VideoWindowStep();
// Closes the film window's film (MCI_CLOSE); nothing without a window.
void VideoWindowClose();
bool VideoWindowVisible();
// The film window's zoom in percent for a screen size (films are 352 x 288).
int VideoWindowZoom(int screenWidth, int screenHeight);
// The film window, null when there is none.
extern void *gMciWindow;

// Plays an MPEG film full screen and returns when it ends, when Escape is
// pressed, or at once when the file is missing or cannot be decoded.
void PlayMpegFile(const char *path);
