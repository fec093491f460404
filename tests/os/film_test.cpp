#include "os/film.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "os/audio.h"

namespace {

std::string DataPath(const char *rel) {
    const char *root = std::getenv("RUVO_DATA");
    return std::string(root ? root : "data") + "/" + rel;
}

TEST(Film, DecodesOurSmackerFilmsFrameByFrame) {
    OsFilm *f = osFilmOpen(DataPath("vek/resource/video/reentry1.smk").c_str(), false);
    ASSERT_NE(f, nullptr);
    const OsFilmInfo *info = osFilmGetInfo(f);
    EXPECT_EQ(info->width, 256);
    EXPECT_EQ(info->height, 192);
    EXPECT_EQ(info->frames, 10);
    EXPECT_TRUE(info->paletted);
    EXPECT_EQ(info->frameMicros, 100000);
    EXPECT_EQ(info->audioTracks, 1);
    int palettes = 0;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(osFilmNextFrame(f)) << i;
        int pitch;
        const uint8_t *px = osFilmPixels(f, &pitch);
        EXPECT_EQ(pitch, 256);
        // The frame number as marker blocks along the top row.
        EXPECT_EQ(px[4 * i], 255);
        EXPECT_NE(px[4 * (i + 1)], 255);
        EXPECT_EQ(px[(96 + 4) * 256 + (i * (256 - 32)) / 9 + 4], 250);  // the moving box
        palettes += osFilmPaletteChanged(f);
    }
    EXPECT_EQ(palettes, 2);  // the first frame's and the one halfway
    const uint8_t *pal = osFilmPalette(f);
    EXPECT_EQ(pal[3 * 255], 227);  // 9 x 25 = 225, stored as 6 bits and widened again
    EXPECT_FALSE(osFilmNextFrame(f));
    ASSERT_TRUE(osFilmRewind(f));
    ASSERT_TRUE(osFilmNextFrame(f));
    EXPECT_EQ(osFilmFramesDecoded(f), 1);
    EXPECT_EQ(osFilmPixels(f, nullptr)[0], 255);
    EXPECT_NE(osFilmPixels(f, nullptr)[4], 255);
    osFilmClose(f);
}

TEST(Film, SmackerSoundReachesTheMixer) {
    osAudioOpen(true);
    OsFilm *f = osFilmOpen(DataPath("vek/resource/video/card320.smk").c_str(), true);
    ASSERT_NE(f, nullptr);
    while (osFilmNextFrame(f)) {
    }
    EXPECT_EQ(osFilmFramesDecoded(f), 12);
    // 1.2 s of 22050 Hz sound, resampled to the mixer's rate.
    int16_t out[2 * 4410];
    osAudioMix(out, 4410);
    int loud = 0;
    for (int16_t s : out) loud += s > 4000 || s < -4000;
    EXPECT_GT(loud, 1000);
    osFilmClose(f);
    osAudioClose();
}

TEST(Film, MpegAndAviIntroFilms) {
    for (const char *name : {"vek/resource/video/intro.mpg", "intro.avi"}) {
        SCOPED_TRACE(name);
        OsFilm *f = osFilmOpen(DataPath(name).c_str(), false);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(osFilmGetInfo(f)->width, 352);
        EXPECT_EQ(osFilmGetInfo(f)->height, 288);
        EXPECT_FALSE(osFilmGetInfo(f)->paletted);
        int n = 0;
        while (osFilmNextFrame(f)) ++n;
        EXPECT_GE(n, 15);
        int pitch;
        const uint8_t *px = osFilmPixels(f, &pitch);
        EXPECT_EQ(pitch, 352 * 3);
        // A space scene: dark sky along the top row, something lit below.
        int dark = 0, lit = 0;
        for (int x = 0; x < 352; ++x) dark += px[3 * x] + px[3 * x + 1] + px[3 * x + 2] < 3 * 60;
        for (int i = 0; i < 352 * 288 * 3; ++i) lit += px[(i / (352 * 3)) * pitch + i % (352 * 3)] > 150;
        EXPECT_GT(dark, 352 / 2);
        EXPECT_GT(lit, 500);
        osFilmClose(f);
    }
}

TEST(Film, MissingAndCorruptFilms) {
    EXPECT_EQ(osFilmOpen(DataPath("vek/resource/video/none.smk").c_str(), false), nullptr);
    EXPECT_EQ(osFilmOpen(nullptr, false), nullptr);
    const uint8_t junk[] = "SMK2 this is not a film at all, only words";
    EXPECT_EQ(osFilmOpenMemory(junk, sizeof junk), nullptr);
}

}  // namespace
