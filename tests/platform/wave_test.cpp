#include "platform/wave.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "common/temp_dir.h"
#include "core/options.h"
#include "wave_bytes.h"

using wavetest::WaveRecipe;

namespace {

struct WaveCase {
    const char *what;
    WaveRecipe recipe;
    bool truncateInFmt;
    uint32_t code;
    uint16_t extra;
};

WaveRecipe Pcm(uint16_t channels, uint16_t bits, uint32_t rate, size_t bytes) {
    WaveRecipe s;
    s.channels = channels;
    s.bits = bits;
    s.rate = rate;
    s.data.assign(bytes, 0x80);
    return s;
}

TEST(Wave, FormatsAndCorruptFiles) {
    ruvotest::TempDir dir;
    std::vector<WaveCase> cases;
    cases.push_back({"8-bit mono, 16-byte fmt", Pcm(1, 8, 22050, 101), false, kWaveOk, 0});
    cases.push_back({"16-bit stereo 44.1 kHz", Pcm(2, 16, 44100, 400), false, kWaveOk, 0});
    cases.push_back({"8-bit stereo 11025 Hz", Pcm(2, 8, 11025, 64), false, kWaveOk, 0});
    {
        WaveRecipe s = Pcm(1, 16, 8000, 32);
        s.fmtSize = 20;  // longer than needed: the rest is skipped
        cases.push_back({"long fmt chunk", s, false, kWaveOk, 0});
    }
    {
        WaveRecipe s = Pcm(1, 8, 22050, 16);
        s.listChunkFirst = true;
        cases.push_back({"other chunk before fmt", s, false, kWaveOk, 0});
    }
    {
        WaveRecipe s = Pcm(1, 4, 22050, 16);
        s.tag = 0x11;
        s.fmtSize = 22;
        s.extraCount = 4;
        s.extraBytes = 4;
        cases.push_back({"non-PCM with its extra bytes", s, false, kWaveOk, 4});
    }
    {
        WaveRecipe s = Pcm(1, 4, 22050, 16);
        s.tag = 0x11;
        s.fmtSize = 18;
        s.extraCount = 10;
        cases.push_back({"non-PCM extra bytes missing", s, false, kWaveNotWave, 0});
    }
    {
        WaveRecipe s = Pcm(1, 8, 22050, 16);
        s.fmtSize = 14;
        cases.push_back({"fmt chunk too short", s, false, kWaveNotWave, 0});
    }
    {
        WaveRecipe s = Pcm(1, 8, 22050, 16);
        s.riff = "RIFX";
        cases.push_back({"not RIFF", s, false, kWaveNotWave, 0});
    }
    {
        WaveRecipe s = Pcm(1, 8, 22050, 16);
        s.form = "AVI ";
        cases.push_back({"RIFF of another form", s, false, kWaveNotWave, 0});
    }
    {
        WaveRecipe s = Pcm(1, 8, 22050, 16);
        s.dataSizeOverride = 1000000;
        cases.push_back({"data longer than the file", s, false, kWaveCorrupt, 0});
    }
    {
        WaveRecipe s = Pcm(1, 8, 22050, 16);
        s.dataSizeOverride = 0xFFFFFFF0u;
        cases.push_back({"data size near 4 GB", s, false, kWaveCorrupt, 0});
    }
    cases.push_back({"file ends inside fmt", Pcm(1, 8, 22050, 16), true, kWaveBadFormat, 0});

    for (const WaveCase &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = wavetest::Build(c.recipe);
        if (c.truncateInFmt) bytes.resize(12 + 8 + 10);
        wavetest::WriteBytes("T.wav", bytes);
        uint32_t size = 99, unused = 99;
        WaveFormat *fmt = reinterpret_cast<WaveFormat *>(1);
        uint8_t *samples = reinterpret_cast<uint8_t *>(1);
        uint32_t code = WaveLoadFile("t.WAV", &size, &unused, &fmt, &samples);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(unused, 0u);
        if (c.code == kWaveOk) {
            ASSERT_NE(fmt, nullptr);
            ASSERT_NE(samples, nullptr);
            EXPECT_EQ(size, c.recipe.data.size());
            EXPECT_EQ(fmt->formatTag, c.recipe.tag);
            EXPECT_EQ(fmt->channels, c.recipe.channels);
            EXPECT_EQ(fmt->samplesPerSec, c.recipe.rate);
            EXPECT_EQ(fmt->bitsPerSample, c.recipe.bits);
            EXPECT_EQ(fmt->extraSize, c.extra);
            for (uint16_t i = 0; i < fmt->extraSize; ++i) EXPECT_EQ(fmt->extra[i], i);
        } else {
            EXPECT_EQ(fmt, nullptr);
            EXPECT_EQ(samples, nullptr);
            EXPECT_EQ(size, 0u);
        }
        WaveFree(fmt);
        WaveFree(samples);
    }
}

TEST(Wave, MissingFileAndMissingChunks) {
    ruvotest::TempDir dir;
    uint32_t size;
    WaveFormat *fmt;
    uint8_t *samples;
    EXPECT_EQ(WaveLoadFile("vek\\resource\\sounds\\nothere.wav", &size, nullptr, &fmt, &samples), kWaveCannotOpen);
    EXPECT_EQ(WaveLoadFile(nullptr, &size, nullptr, &fmt, &samples), kWaveCannotOpen);

    std::vector<uint8_t> b = wavetest::Build(Pcm(1, 8, 22050, 8));
    b.resize(b.size() - 8 - 8);  // drop the data chunk
    wavetest::WriteBytes("nodata.wav", b);
    EXPECT_EQ(WaveLoadFile("nodata.wav", &size, nullptr, &fmt, &samples), kWaveChunkNotFound);
    EXPECT_EQ(fmt, nullptr);
}

TEST(Wave, ReadsInPieces) {
    ruvotest::TempDir dir;
    WaveRecipe s = Pcm(1, 8, 22050, 10);
    for (size_t i = 0; i < s.data.size(); ++i) s.data[i] = uint8_t(i);
    wavetest::WriteBytes("p.wav", wavetest::Build(s));
    WaveFile *f;
    WaveFormat *fmt;
    WaveChunk riff, data;
    ASSERT_EQ(WaveOpenFile("p.wav", &f, &fmt, &riff), kWaveOk);
    ASSERT_EQ(WaveStartDataRead(f, &data, &riff), kWaveOk);
    uint8_t buf[16];
    uint32_t got;
    ASSERT_EQ(WaveReadFile(f, 4, buf, &data, &got), kWaveOk);
    EXPECT_EQ(got, 4u);
    ASSERT_EQ(WaveReadFile(f, 100, buf + 4, &data, &got), kWaveOk);  // limited to what is left
    EXPECT_EQ(got, 6u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(buf[i], i);
    WaveFree(fmt);
    WaveCloseFile(f);
}

}  // namespace

namespace {

int RefusalLines(const char *name) {
    std::ifstream in("debug.txt", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), {}), mark = std::string("Refused data file ") + name + ": ";
    int n = 0;
    for (size_t at = all.find(mark); at != std::string::npos; at = all.find(mark, at + 1)) ++n;
    return n;
}

// A sound file cut short, empty or of random bytes is named in the debug
// log once, with what was wrong with it; a missing one is not.
TEST(Wave, DamagedFilesAreToldToTheLog) {
    ruvotest::TempDir dir;
    ResetOptions();
    const std::vector<uint8_t> good = wavetest::Constant8(100, 200);
    std::vector<uint8_t> junk(300);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 37 + 11);
    const std::vector<uint8_t> damaged[] = {std::vector<uint8_t>(good.begin(), good.begin() + 30),
                                            std::vector<uint8_t>(good.begin(), good.end() - 40), {}, junk};
    for (const std::vector<uint8_t> &bytes : damaged) {
        std::remove("debug.txt");
        wavetest::WriteBytes("bad.wav", bytes);
        uint32_t size;
        WaveFormat *fmt;
        uint8_t *samples;
        EXPECT_NE(WaveLoadFile("bad.wav", &size, nullptr, &fmt, &samples), kWaveOk) << bytes.size();
        EXPECT_EQ(RefusalLines("bad.wav"), 1) << bytes.size();
    }
    std::remove("debug.txt");
    uint32_t size;
    WaveFormat *fmt;
    uint8_t *samples;
    EXPECT_EQ(WaveLoadFile("none.wav", &size, nullptr, &fmt, &samples), kWaveCannotOpen);
    EXPECT_EQ(RefusalLines("none.wav"), 0);
}

}  // namespace
