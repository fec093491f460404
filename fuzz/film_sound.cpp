// Opening a film with its sound, from arbitrary bytes: the first audio track
// is decoded into a voice of the mixer while a bounded number of frames are
// decoded, and the mixer is pulled so that whatever the decoder queued is
// mixed too. The game checks a Smacker header before any decoder sees it.
#include <cstdint>

#include "os/audio.h"
#include "os/film.h"
#include "platform/smack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Nothing plays by itself: the mixer advances only when pulled below.
    static const bool opened = [] {
        osAudioOpen(true);
        return true;
    }();
    (void)opened;
    if (!SmackHeaderPlausible(BytesOf(data, size), size)) return 0;
    OsFilm *film = osFilmOpenMemory(data, size, true);
    if (!film) return 0;
    static int16_t mixed[2 * 2048];
    for (int i = 0; i < 32 && osFilmNextFrame(film); ++i) osAudioMix(mixed, 2048);
    osFilmClose(film);
    osAudioMix(mixed, 256);  // the voice is gone: nothing of it may be left behind
    return 0;
}
