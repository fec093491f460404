#include "tools/lumaquill/player.h"

#include <cstdio>
#include <string>

#include "os/audio.h"
#include "os/filmwindow.h"
#include "os/paths.h"
#include "os/window.h"

int PlayMovie(const char *file) {
    if (!file || !osInitVideo()) return 1;
    std::string host = osResolvePath(file, false);
    // Without a sound device the film still runs to the clock.
    bool ownAudio = !osAudioIsOpen();
    if (ownAudio) osAudioOpen(false);
    OsFilmEnd end = osFilmPlayModal(host.c_str());
    if (ownAudio) osAudioClose();
    if (end == OS_FILM_FAILED) {
        // Nothing would ever end a player with nothing to play: say so and
        // give the waiting launcher its answer now.
        std::fprintf(stderr, "lumaquill: cannot play %s\n", host.c_str());
        return 1;
    }
    return 0;
}

int PlayerWinMain() { return PlayMovie(kIntroFilm); }
