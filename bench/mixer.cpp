// The mixer with seventy looping voices: CPU time to mix one second of audio,
// as a fraction of that second ("cpu_fraction"; the target is under 0.02).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "os/audio.h"

static void BM_Mix70LoopingVoices(benchmark::State &state) {
    osAudioOpen(true);
    std::vector<int> voices;
    for (int i = 0; i < 70; ++i) {
        bool wide = i % 3 == 0;
        int channels = wide ? 2 : 1, bits = wide ? 16 : 8, rate = wide ? 44100 : (i % 2 ? 22050 : 11025);
        std::vector<uint8_t> pcm(size_t(rate / 4) * size_t(channels * bits / 8));
        for (size_t k = 0; k < pcm.size(); ++k) pcm[k] = uint8_t(128 + 100 * std::sin(double(k) * 0.05 * (i + 1)));
        int v = osVoiceCreate(pcm.data(), uint32_t(pcm.size()), channels, bits, rate);
        osVoiceSetVolume(v, -(i * 50));
        osVoiceSetPan(v, (i * 300) % 20000 - 10000);
        if (i % 4 == 0) osVoiceSetFrequency(v, rate + 1000 * (i % 7));
        osVoicePlay(v, true);
        voices.push_back(v);
    }
    std::vector<int16_t> out(size_t(kMixRate) * 2);
    for (auto _ : state) {
        osAudioMix(out.data(), kMixRate);  // one second
        benchmark::DoNotOptimize(out.data());
    }
    // Seconds of CPU per second of audio mixed.
    state.counters["cpu_fraction"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    for (int v : voices) osVoiceDestroy(v);
    osAudioClose();
}
BENCHMARK(BM_Mix70LoopingVoices)->Unit(benchmark::kMillisecond);

// The baseline in the same run: copying one second of the output buffer.
static void BM_CopyOneSecond(benchmark::State &state) {
    std::vector<int16_t> a(size_t(kMixRate) * 2, 1), b(a.size());
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 2);
        benchmark::DoNotOptimize(b.data());
    }
    state.counters["cpu_fraction"] =
        benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CopyOneSecond)->Unit(benchmark::kMillisecond);
