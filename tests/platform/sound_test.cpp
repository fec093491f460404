#include "platform/sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/options.h"
#include "common/temp_dir.h"
#include "os/audio.h"
#include "wave_bytes.h"

namespace {

// Slots of the table used below: 0 "10", 1 "11", 2 "32", 3 "27".
class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        osAudioOpen(true);  // nothing plays unless the test pulls samples
        SoundEnabled = 0xFF;
        MasterVolume = 100.0f;
        DialogueBalance = 0.0f;
        SoundInitDone = 0;
        SoundInit();
        // 2205 frames (0.1 s at 22050 Hz) of a constant level.
        Write("10", wavetest::Constant8(2205, 228));
        Write("11", wavetest::Constant8(2205, 228));
        Write("32", wavetest::Constant8(2205, 228));
    }
    void TearDown() override {
        SoundReleaseAll();
        for (SoundSlot &s : SoundSlots) s.releaseMark = 0;
        SoundInitDone = 0;
        osAudioClose();
    }
    static void Write(const char *name, const std::vector<uint8_t> &bytes) {
        wavetest::WriteBytes(std::string("vek/resource/sounds/") + name + ".wav", bytes);
    }
    // Mixes `frames` frames; returns the mean absolute level of each side.
    static std::pair<double, double> Level(int frames) {
        std::vector<int16_t> out(size_t(frames) * 2);
        osAudioMix(out.data(), frames);
        double l = 0, r = 0;
        for (int i = 0; i < frames; ++i) {
            l += std::abs(out[size_t(2 * i)]);
            r += std::abs(out[size_t(2 * i + 1)]);
        }
        return {l / frames, r / frames};
    }
    static int ListLength() {
        int n = 0;
        for (SoundSlot *s = SoundListHead; s && n < 1000; s = s->next) ++n;
        return n;
    }
    ruvotest::TempDir dir;
};

TEST_F(Sound, VolumeScaling) {
    struct {
        float master;
        int32_t in, out;
    } rows[] = {{100, 0, 0}, {100, -2500, -2500}, {0, 0, -5000}, {0, -10000, -10000}, {50, 0, -2500}};
    for (auto &r : rows) {
        MasterVolume = r.master;
        EXPECT_EQ(SoundScaledVolume(r.in), r.out) << r.master << " " << r.in;
    }
    MasterVolume = 100;
    DialogueBalance = 0.1f;
    SoundPlay(0, 0, 0, 0, 0);
    EXPECT_EQ(SoundSlots[0].volume, -1000);
    SoundLoad(1);
    SoundStartFadedIn(&SoundSlots[1], 0, 0, 0, 0);
    EXPECT_EQ(SoundSlots[1].volume, 0);
    DialogueBalance = -0.1f;
    SoundStartFadedIn(&SoundSlots[1], 0, 0, 0, 0);
    EXPECT_EQ(SoundSlots[1].volume, -1000);
    SoundPlay(0, 0, 0, 0, 0);
    EXPECT_EQ(SoundSlots[0].volume, 0);
}

TEST_F(Sound, LevelFollowsVolumeAndPan) {
    SoundPlay(0, 0, 0, 0, 1);
    auto full = Level(2000);
    EXPECT_GT(full.first, 20000);
    EXPECT_NEAR(full.first, full.second, 1);
    SoundPlay(0, -600, 0, 0, 1);  // -6 dB: about half
    auto half = Level(2000);
    EXPECT_NEAR(half.first / full.first, std::pow(10.0, -0.3), 0.01);
    SoundPlay(0, 0, 0, 10000, 1);  // hard right
    auto right = Level(2000);
    EXPECT_EQ(right.first, 0);
    EXPECT_NEAR(right.second, full.second, 1);
    SoundPlay(0, -10000, 0, 0, 1);
    EXPECT_EQ(Level(2000).first, 0);
}

TEST_F(Sound, LoopStatusAndFrequency) {
    // 2205 frames at 22050 Hz last 4410 output frames at 44100 Hz.
    SoundPlay(0, 0, 0, 0, 0);
    EXPECT_TRUE(SoundIsPlaying(&SoundSlots[0]));
    EXPECT_EQ(SoundSlots[0].baseFrequency, 22050);
    Level(4000);
    EXPECT_TRUE(SoundIsPlaying(&SoundSlots[0]));
    Level(500);
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
    EXPECT_EQ(Level(100).first, 0);

    SoundPlay(0, 0, 44100, 0, 0);  // twice the rate: half the time
    Level(2300);
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
    EXPECT_EQ(osVoiceGetFrequency(SoundSlots[0].buffer), 44100);
    SoundPlay(0, 0, 0, 0, 0);  // 0 goes back to the file's rate
    EXPECT_EQ(osVoiceGetFrequency(SoundSlots[0].buffer), 22050);

    Level(4500);  // a start while it sounds would keep it a one-shot
    SoundPlay(0, 0, 0, 0, 1);
    Level(44100);
    EXPECT_TRUE(SoundIsPlaying(&SoundSlots[0]));
    EXPECT_GT(Level(100).first, 20000);
    SoundStop(&SoundSlots[0]);
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
    EXPECT_EQ(Level(100).first, 0);
}

TEST_F(Sound, ReplayRewindsOneVoice) {
    SoundPlay(0, 0, 0, 0, 0);
    Level(4000);
    EXPECT_GT(osVoiceGetPosition(SoundSlots[0].buffer), 1900u);
    SoundPlay(0, 0, 0, 0, 0);
    EXPECT_EQ(osVoiceGetPosition(SoundSlots[0].buffer), 0u);
    auto one = Level(100);
    EXPECT_NEAR(one.first, 100 * 256, 300);  // one copy, not two summed
    Level(4400);
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
}

// Starting a slot that sounds rewinds it and nothing more: a looping sound
// started again as a one-shot goes on looping, and the one-shot flag waits
// for the slot's next start from silence.
TEST_F(Sound, StartOnASoundingSlotOnlyRewinds) {
    SoundPlay(0, 0, 0, 0, 1);
    Level(3000);
    SoundPlay(0, 0, 0, 0, 0);
    EXPECT_EQ(osVoiceGetPosition(SoundSlots[0].buffer), 0u);
    EXPECT_EQ(SoundSlots[0].loop, 0);
    Level(44100);  // ten times the sound's length
    EXPECT_TRUE(SoundIsPlaying(&SoundSlots[0]));
    SoundStop(&SoundSlots[0]);
    SoundStart(&SoundSlots[0], 0, 0, 0, 0);
    Level(4500);
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
}

// Resuming after a pause goes on from where the pause stopped each sound.
TEST_F(Sound, ResumeGoesOnFromThePausedPlace) {
    SoundPlay(0, 0, 0, 0, 0);
    Level(3000);
    const uint32_t at = osVoiceGetPosition(SoundSlots[0].buffer);
    EXPECT_GT(at, 1000u);
    SoundPauseAll();
    SoundResumeAll();
    EXPECT_EQ(osVoiceGetPosition(SoundSlots[0].buffer), at);
    Level(1500);  // what was left of it
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
}

TEST_F(Sound, PauseAndResumeAll) {
    SoundPlay(0, 0, 0, 0, 1);
    SoundPlay(2, 0, 0, 0, 1);
    Level(1000);
    MasterVolume = 0;  // changed while paused: the resume must honour it
    SoundPauseAll();
    EXPECT_EQ(Level(500).first, 0);
    EXPECT_TRUE(SoundSlots[0].paused);
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
    SoundResumeAll();
    EXPECT_FALSE(SoundSlots[0].paused);
    EXPECT_TRUE(SoundIsPlaying(&SoundSlots[2]));
    EXPECT_EQ(osVoiceGetVolume(SoundSlots[0].buffer), -5000);
    // A faded sound comes back with its dialogue fade as well as the master level.
    DialogueBalance = 0.1f;
    SoundPlay(0, 0, 0, 0, 1);  // stored at -1000
    SoundPauseAll();
    SoundResumeAll();
    EXPECT_EQ(osVoiceGetVolume(SoundSlots[0].buffer), -5500);
    DialogueBalance = 0.0f;

    // A speech file that ended while the game was paused is not restarted.
    wavetest::WriteBytes("speech.wav", wavetest::Constant8(100, 228));
    ASSERT_NE(SpeechPlayFile("speech.wav"), nullptr);
    EXPECT_EQ(ListLength(), 2);  // the speech slot stays out of the list
    Level(1000);
    SoundPauseAll();
    EXPECT_FALSE(SpeechSlot.paused);
    EXPECT_FALSE(SpeechSlot.playing);
    SoundResumeAll();
    EXPECT_FALSE(SoundIsPlaying(&SpeechSlot));
}

TEST_F(Sound, LoadedListIntegrity) {
    SoundPlay(3, 0, 0, 0, 0);  // "27" is missing: stays unloaded, retried each time
    SoundPlay(3, 0, 0, 0, 0);
    SoundPlay(68, 0, 0, 0, 0);  // "None"
    SoundPlay(-1, 0, 0, 0, 0);
    SoundPlay(70, 0, 0, 0, 0);
    EXPECT_EQ(ListLength(), 0);
    EXPECT_EQ(SoundSlots[3].buffer, 0);

    // A format the mixer cannot take leaves the slot out of the list.
    wavetest::WaveRecipe adpcm;
    adpcm.tag = 2;
    adpcm.bits = 4;
    adpcm.fmtSize = 18;
    adpcm.extraCount = 0;
    adpcm.data.assign(64, 0);
    Write("27", wavetest::Build(adpcm));
    SoundPlay(3, 0, 0, 0, 0);
    SoundPlay(3, 0, 0, 0, 0);
    EXPECT_EQ(ListLength(), 0);

    SoundPlay(0, 0, 0, 0, 0);
    SoundPlay(0, 0, 0, 0, 0);
    SoundLoad(0);  // loading again replaces the buffer, not the list entry
    SoundInitDone = 1;
    SoundPlay(1, 0, 0, 0, 0);
    SoundPlay(2, 0, 0, 0, 0);
    EXPECT_EQ(ListLength(), 3);
    EXPECT_EQ(SoundListTail, &SoundSlots[2]);

    SoundReleaseMarked();
    EXPECT_EQ(ListLength(), 1);
    EXPECT_EQ(SoundListHead, &SoundSlots[0]);
    EXPECT_EQ(SoundListTail, &SoundSlots[0]);
    EXPECT_EQ(SoundSlots[1].buffer, 0);
    SoundPlay(1, 0, 0, 0, 0);
    EXPECT_EQ(SoundListTail, &SoundSlots[1]);
    EXPECT_EQ(ListLength(), 2);
}

// A slot of a sound resource lives in the resource's block: once released,
// the block is freed, and later walks of the list must not reach it.
TEST_F(Sound, AReleasedSlotLeavesTheList) {
    SoundPlay(0, 0, 0, 0, 0);
    auto *owned = new SoundSlot{};
    ASSERT_GT(SoundCreateBuffer(owned, "vek/resource/sounds/11.wav"), 0u);
    SoundPlay(1, 0, 0, 0, 0);
    ASSERT_EQ(ListLength(), 3);
    SoundRelease(owned);
    delete owned;
    EXPECT_EQ(ListLength(), 2);
    SoundPauseAll();
    SoundResumeAll();
    SoundStopAll();
    // The tail too: a slot appended next must follow the last one left.
    SoundRelease(&SoundSlots[1]);
    EXPECT_EQ(SoundListTail, &SoundSlots[0]);
    SoundPlay(2, 0, 0, 0, 0);
    EXPECT_EQ(ListLength(), 2);
    EXPECT_EQ(SoundListHead->next, &SoundSlots[2]);
}

TEST_F(Sound, VariedPitchAndOddLength) {
    SoundPlayVaried(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(SoundSlots[0].frequency, 22050);
    for (int i = 0; i < 50; ++i) {
        SoundPlayVaried(0, 0, 0, 0, 0, 2000);
        EXPECT_GE(SoundSlots[0].frequency, 22050 - 1000);
        EXPECT_LT(SoundSlots[0].frequency, 22050 + 1000);
    }
    SoundPlayVaried(0, 0, 0, 0, 0, 100000);
    EXPECT_GE(SoundSlots[0].frequency, 0);

    Write("11", wavetest::Constant8(7, 228));
    SoundRelease(&SoundSlots[1]);
    SoundLoad(1);
    EXPECT_EQ(SoundSlots[1].size, 7u);
}

TEST_F(Sound, DisabledDoesNothing) {
    SoundEnabled = 0;
    SoundPlay(0, 0, 0, 0, 1);
    SoundLoadAll();
    EXPECT_EQ(SoundSlots[0].buffer, 0);
    EXPECT_EQ(ListLength(), 0);
    EXPECT_EQ(SpeechPlayFile("vek/resource/sounds/10.wav"), nullptr);
    SoundEnabled = 0xFF;
}

TEST(SoundPosition, FromCamera) {
    SoundPlace cam{};
    cam.orientation.m[0] = cam.orientation.m[5] = cam.orientation.m[10] = cam.orientation.m[15] = 1;
    SoundPlace obj = cam;
    int32_t vol = 1, pan = 1;
    obj.position = {5000, 0, 0};
    EXPECT_DOUBLE_EQ(SoundPlacePosition(&obj, &cam, 0, &vol, &pan, nullptr), 5000);
    EXPECT_EQ(vol, -10);
    EXPECT_EQ(pan, 10000);
    obj.position = {0, 0, 6000000};
    SoundPlacePosition(&obj, &cam, 0, &vol, &pan, nullptr);
    EXPECT_EQ(vol, -10000);
    EXPECT_EQ(pan, 0);
    obj.starSystem = 3;
    EXPECT_DOUBLE_EQ(SoundPlacePosition(&obj, &cam, 0, &vol, &pan, nullptr), 1e11);
    EXPECT_EQ(vol, -10000);
    EXPECT_EQ(SoundPlacePosition(nullptr, &cam, 0, &vol, &pan, nullptr), 0);

    int32_t freq = 7;
    SoundPlaceParams(&obj, &cam, 0, false, &freq, 1.0f);  // other system: untouched
    EXPECT_EQ(freq, 7);
    obj.starSystem = 0;
    obj.position = {0, 0, 1000};
    obj.velocity = {0, 0, -200000};  // closing fast, limited to 100000
    SoundPlaceParams(&obj, &cam, 0, false, &freq, 1.0f);
    EXPECT_EQ(freq, 22050 + 5000);
    obj.velocity = {0, 0, 100000};
    SoundPlaceParams(&obj, &cam, 0, false, &freq, 0.5f);
    EXPECT_EQ(freq, 22050 - 2500);
    SoundPlaceParams(&cam, &cam, 0, true, &freq, 1.0f);
    EXPECT_EQ(freq, 22050);
}

}  // namespace

#include <filesystem>
#include <cstring>
#include <set>

#include "platform/smack.h"
#include "platform/wave.h"

namespace {

// The sample data holds a wave for every named slot and a film for every
// name the game plays, and each of them opens.
TEST(SampleData, EveryNamedSlotAndFilmLoads) {
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(std::getenv("RUVO_DATA"));
    for (int i = 0; i < 68; ++i) {
        char path[160];
        std::snprintf(path, sizeof path, "vek\\resource\\sounds\\%s.wav", SoundSlots[i].name);
        uint32_t size;
        WaveFormat *fmt;
        uint8_t *samples;
        EXPECT_EQ(WaveLoadFile(path, &size, nullptr, &fmt, &samples), kWaveOk) << path;
        EXPECT_GT(size, 0u);
        WaveFree(fmt);
        WaveFree(samples);
    }
    int films = 0;
    for (auto &e : std::filesystem::directory_iterator("vek/resource/video")) {
        if (e.path().extension() != ".smk") continue;
        std::string game = "vek\\resource\\video\\" + e.path().filename().string();
        Smack *smk = SmackOpen(game.c_str(), 0, -1);
        EXPECT_NE(smk, nullptr) << game;
        if (smk) {
            EXPECT_GT(smk->Frames, 1u);
        }
        SmackClose(smk);
        ++films;
    }
    EXPECT_GE(films, 80);
    std::filesystem::current_path(old);
}

// The home page's loop film is a space scene that moves: its frames differ
// from each other, and the first is mostly dark sky with many shades (a
// test card is bright bands of a few flat colours).
TEST(SampleData, HomeLoopFilmIsAMovingSpaceScene) {
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(std::getenv("RUVO_DATA"));
    Smack *smk = SmackOpen("vek\\resource\\video\\Fspn.smk", 0, -1);
    ASSERT_NE(smk, nullptr);
    const uint32_t w = smk->Width, h = smk->Height;
    std::vector<uint8_t> pixels(size_t(w) * h);
    SmackToBuffer(smk, 0, 0, int32_t(w), int32_t(h), pixels.data(), 0);
    std::vector<std::vector<uint8_t>> frames;
    for (uint32_t f = 0; f < smk->Frames; ++f) {
        SmackDoFrame(smk);
        frames.push_back(pixels);
        if (f + 1 < smk->Frames) SmackNextFrame(smk);
    }
    uint8_t palette[768];
    std::memcpy(palette, smk->Palette, sizeof palette);
    SmackClose(smk);
    std::filesystem::current_path(old);
    ASSERT_GE(frames.size(), 8u);
    for (size_t f = 1; f < frames.size(); ++f) EXPECT_NE(frames[f], frames[f - 1]) << "frame " << f;
    std::set<uint8_t> shades;
    size_t dark = 0;
    for (uint8_t i : frames[0]) {
        shades.insert(i);
        const uint8_t *c = &palette[size_t(i) * 3];
        if (c[0] + c[1] + c[2] < 3 * 48) ++dark;
    }
    EXPECT_GT(shades.size(), 40u);
    EXPECT_GT(dark, frames[0].size() / 3);
}

}  // namespace
