// The sound slots through a real SDL audio device: the "disk" driver writes
// what the device plays into a raw file (signed 16-bit stereo).
#include <gtest/gtest.h>

#include <algorithm>
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

std::vector<int16_t> Samples(const char *file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> out(raw.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = int16_t(uint8_t(raw[2 * i]) | uint8_t(raw[2 * i + 1]) << 8);
    return out;
}

// Plays slot 0 (a steady tone) at `volume` until a tenth of a second of it
// has reached the file; returns its RMS level from its first sound. The
// device writes whenever its thread gets the processor: the wait is for
// the sound, not for a time, and the silence before it is left out.
double PlayToDisk(const char *file, int32_t volume) {
    constexpr size_t kWindow = kMixRate / 10 * 2;  // stereo samples
    setenv("SDL_DISKAUDIOFILE", file, 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);
    EXPECT_EQ(osAudioOpen(false), AudioMode::Device);
    SoundEnabled = 0xFF;
    SoundInit();
    SoundPlay(0, volume, 0, 0, 1);
    auto heard = [&](const std::vector<int16_t> &s) {
        return size_t(std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; }) - s.begin());
    };
    // Only a device that never plays meets the limit.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::vector<int16_t> s = Samples(file);
    while (s.size() < heard(s) + kWindow && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        s = Samples(file);
    }
    SoundReleaseAll();
    osAudioClose();
    s = Samples(file);
    const size_t from = heard(s);
    EXPECT_GE(s.size(), from + kWindow);
    if (s.size() < from + kWindow) return 0;
    double sum = 0;
    for (size_t i = from; i < from + kWindow; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(kWindow));
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
    // -12 dB is a quarter of the level.
    EXPECT_NEAR(quiet / loud, std::pow(10.0, -0.6), 0.01);
    if (keep.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", keep.c_str(), 1);
}

}  // namespace
