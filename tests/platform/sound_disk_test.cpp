// The sound slots through a real SDL audio device: the "disk" driver writes
// what the device plays into a raw file (signed 16-bit stereo).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "common/temp_dir.h"
#include "os/audio.h"
#include "platform/sound.h"
#include "wave_bytes.h"

namespace {

// Plays slot 0 (a steady tone) at `volume` for a while; returns the RMS
// level of what reached the file.
double PlayToDisk(const char *file, int32_t volume) {
    setenv("SDL_DISKAUDIOFILE", file, 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);
    EXPECT_EQ(osAudioOpen(false), AudioMode::Device);
    SoundEnabled = 0xFF;
    SoundInit();
    SoundPlay(0, volume, 0, 0, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SoundReleaseAll();
    osAudioClose();
    std::ifstream in(file, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
    size_t n = raw.size() / 2;
    EXPECT_GT(n, 4410u);
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        int16_t s = int16_t(uint8_t(raw[2 * i]) | uint8_t(raw[2 * i + 1]) << 8);
        sum += double(s) * s;
    }
    return n ? std::sqrt(sum / double(n)) : 0;
}

TEST(SoundDisk, OutputFollowsTheSlotVolume) {
    ruvotest::TempDir dir;
    const char *old = std::getenv("SDL_AUDIODRIVER");
    std::string keep = old ? old : "";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    std::vector<uint8_t> tone;
    {
        wavetest::WaveRecipe s;
        for (int i = 0; i < 22050; ++i) s.data.push_back(uint8_t(128 + 100 * std::sin(i * 0.1)));
        tone = wavetest::Build(s);
    }
    wavetest::WriteBytes("vek/resource/sounds/10.wav", tone);
    double loud = PlayToDisk("loud.raw", 0);
    double quiet = PlayToDisk("quiet.raw", -1200);
    EXPECT_GT(loud, 5000);
    // -12 dB is a quarter of the level; the start of the file may hold a
    // little silence, so compare loosely.
    EXPECT_NEAR(quiet / loud, std::pow(10.0, -0.6), 0.08);
    if (keep.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", keep.c_str(), 1);
}

}  // namespace
