// The film window that plays the intro list, and the modal MPEG player.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/files.h"
#include "core/options.h"
#include "os/events.h"
#include "os/film.h"
#include "os/filmwindow.h"
#include "os/paths.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/smack.h"
#include "platform/video.h"

void *gMciWindow;

namespace {

const char *const *gList;
int16_t gIndex;
OsFilm *gFilm;
int64_t gDue;
bool gNoticeSent;

OsFilmWindow *Window() { return static_cast<OsFilmWindow *>(gMciWindow); }

void CloseFilm() {
    osFilmClose(gFilm);
    gFilm = nullptr;
}

// The film window tells the game window that its film stopped; the game
// window goes on to the next film of the intro or closes the window.
void FilmStopped() {
    OsMessage m{};
    m.type = OSM_FILMNOTIFY;
    m.wParam = 1;
    osPostMessage(m);
}

}  // namespace

int VideoWindowZoom(int screenWidth, int screenHeight) {
    return std::max(screenWidth * 100 / 352 + 1, screenHeight * 100 / 288 + 1);
}

void VideoWindowCreate() {
    if (gMciWindow) return;
    if (optDemo) {
        gMciWindow = osFilmWindowOpen("intro", 0, 0, 320, 240, false);
    } else {
        int w = TheDisplayMode.width ? TheDisplayMode.width : 640;
        int h = TheDisplayMode.height ? TheDisplayMode.height : 480;
        gMciWindow = osFilmWindowOpen("intro", 0, 0, w, h, FullScreenMode != 0);
    }
}

bool VideoWindowPlayWait(const char *const *list) {
    if (!list || !list[0]) return false;
    if (!GameFileExists(list[0])) return false;
    gIndex = 0;
    MciPlaying = 1;
    if (!gMciWindow) VideoWindowCreate();
    gList = list;
    VideoWindowNext();
    return gMciWindow != nullptr;
}

void VideoWindowNext() {
    if (gList && gList[gIndex]) {
        CloseFilm();
        if (!gMciWindow) VideoWindowCreate();
        std::string host = osResolvePath(gList[gIndex], false);
        bool opened;
        bool plausible = FilmFilePlausible(host.c_str(), &opened);
        gFilm = plausible ? osFilmOpen(host.c_str(), true) : nullptr;
        if (opened && !gFilm) RefuseGameFile(gList[gIndex], plausible ? "no film the decoders can read" : kImplausibleFilm);
        gDue = osFilmTimeMicros();
        gNoticeSent = false;
        ++gIndex;
        return;
    }
    CloseFilm();
    VideoPlaying = 0;
    MciPlaying = 0;
    optIntro = 0;
    up::IntroEnded();
}

void VideoWindowStep() {
    if (!gMciWindow) return;
    if (!gFilm) {
        // A film that could not be opened stopped at once. The notice goes
        // once; the game window's answer opens the next film or closes.
        if (MciPlaying && !gNoticeSent) {
            gNoticeSent = true;
            FilmStopped();
        }
        return;
    }
    int64_t now = osFilmTimeMicros();
    if (now < gDue) return;
    if (!osFilmNextFrame(gFilm)) {
        CloseFilm();
        gNoticeSent = true;
        FilmStopped();
        return;
    }
    const OsFilmInfo *info = osFilmGetInfo(gFilm);
    int zoom = optDemo ? 0 : VideoWindowZoom(TheDisplayMode.width ? TheDisplayMode.width : 640,
                                             TheDisplayMode.height ? TheDisplayMode.height : 480);
    osFilmWindowShow(Window(), gFilm, zoom);
    gDue += info->frameMicros;
    if (gDue < now - 500000) gDue = now;
}

void VideoWindowClose() {
    CloseFilm();
    osFilmWindowClose(Window());
    gMciWindow = nullptr;
}

bool VideoWindowVisible() { return osFilmWindowVisible(Window()); }

void PlayMpegFile(const char *path) {
    DisplayDDrawSuspend();
    if (path) {
        std::string host = osResolvePath(path, false);
        bool opened;
        if (FilmFilePlausible(host.c_str(), &opened)) {
            if (osFilmPlayModal(host.c_str()) == OS_FILM_FAILED) RefuseGameFile(path, "it cannot be played");
        } else if (opened) {
            RefuseGameFile(path, kImplausibleFilm);
        }
    }
    DisplayDDrawResume();
}
