// Opening a film through the decoders and decoding a bounded number of its
// frames, from arbitrary bytes.
#include <cstdint>

#include "os/film.h"
#include "platform/smack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The game checks a Smacker header before it lets the decoders near a film.
    if (!SmackHeaderPlausible(BytesOf(data, size), size)) return 0;
    OsFilm *film = osFilmOpenMemory(data, size);
    if (!film) return 0;
    const OsFilmInfo *info = osFilmGetInfo(film);
    for (int i = 0; i < 64 && osFilmNextFrame(film); ++i) {
        int pitch;
        const uint8_t *px = osFilmPixels(film, &pitch);
        volatile uint32_t sum = px[0] + px[size_t(pitch) * size_t(info->height - 1)];
        (void)sum;
    }
    osFilmClose(film);
    return 0;
}
