#include "os/audio.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct Voice {
    bool used = false;
    bool stream = false;
    bool playing = false;
    bool loop = false;
    uint8_t generation = 0;
    int channels = 1;
    int bytesPerFrame = 1;
    int nativeRate = 22050;
    int32_t volume = 0;
    int32_t pan = 0;
    int32_t frequency = 0;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    std::vector<int16_t> samples;  // interleaved by channel
    size_t frames = 0;             // frames in `samples` (streams: queued end)
    size_t streamStart = 0;        // streams: first frame not yet consumed
    uint64_t position = 0;         // 32.32 fixed-point frame position
};

std::mutex gLock;
Voice gVoices[kMixVoices];
AudioMode gMode = AudioMode::Clock;
bool gOpen = false;
SDL_AudioDeviceID gDevice = 0;
std::chrono::steady_clock::time_point gLastTick;
double gClockCarry = 0;

float Gain(int32_t centibels) {
    if (centibels <= -10000) return 0.0f;
    if (centibels >= 0) return 1.0f;
    return float(std::pow(10.0, centibels / 2000.0));
}

void UpdateGains(Voice &v) {
    float g = Gain(v.volume);
    v.gainLeft = g * (v.pan > 0 ? Gain(-v.pan) : 1.0f);
    v.gainRight = g * (v.pan < 0 ? Gain(v.pan) : 1.0f);
}

int Rate(const Voice &v) { return v.frequency ? v.frequency : v.nativeRate; }

Voice *Find(int handle) {
    int index = (handle & 0xFF) - 1;
    if (handle <= 0 || index < 0 || index >= kMixVoices) return nullptr;
    Voice &v = gVoices[index];
    if (!v.used || v.generation != uint8_t(handle >> 8)) return nullptr;
    return &v;
}

int Allocate() {
    for (int i = 0; i < kMixVoices; ++i) {
        Voice &v = gVoices[i];
        if (v.used) continue;
        uint8_t gen = uint8_t(v.generation + 1);
        v = Voice{};
        v.used = true;
        v.generation = gen;
        return (gen << 8) | (i + 1);
    }
    return 0;
}

// Takes a free voice for sound of the given form; null when none is free.
Voice *Open(int channels, int bytesPerFrame, int rate, int &handle) {
    handle = Allocate();
    if (!handle) return nullptr;
    Voice &v = *Find(handle);
    v.channels = channels;
    v.bytesPerFrame = bytesPerFrame;
    v.nativeRate = rate;
    UpdateGains(v);
    return &v;
}

// Frees a voice; its generation stays, so old handles to it find nothing.
void Release(Voice &v) {
    uint8_t gen = v.generation;
    v = Voice{};
    v.generation = gen;
}

// Adds one voice into the 32-bit accumulator.
void MixVoice(Voice &v, int32_t *acc, int frames) {
    const uint64_t step = (uint64_t(Rate(v)) << 32) / kMixRate;
    const int16_t *s = v.samples.data();
    const int ch = v.channels;
    const float gl = v.gainLeft, gr = v.gainRight;
    const bool audible = gl > 0.0f || gr > 0.0f;
    for (int i = 0; i < frames; ++i) {
        size_t f = size_t(v.position >> 32);
        if (v.stream) f += v.streamStart;
        if (f >= v.frames) {
            if (v.stream) {
                v.position = 0;
                v.streamStart = v.frames;
                return;
            }
            if (v.loop && v.frames) {
                v.position -= uint64_t(v.frames) << 32;
                f = size_t(v.position >> 32);
                if (f >= v.frames) v.position = 0, f = 0;
            } else {
                // A buffer that plays out stops and goes back to its start.
                v.playing = false;
                v.position = 0;
                return;
            }
        }
        if (audible) {
            float t = float(uint32_t(v.position)) * (1.0f / 4294967296.0f);
            size_t g = f + 1;
            if (g >= v.frames) g = (v.loop && !v.stream) ? 0 : f;
            float l0 = s[f * ch], l1 = s[g * ch];
            float left = l0 + (l1 - l0) * t, right = left;
            if (ch == 2) {
                float r0 = s[f * ch + 1], r1 = s[g * ch + 1];
                right = r0 + (r1 - r0) * t;
            }
            acc[2 * i] += int32_t(left * gl);
            acc[2 * i + 1] += int32_t(right * gr);
        }
        v.position += step;
    }
    if (v.stream) {
        // Drop what has been consumed so the queue does not grow for ever.
        size_t consumed = size_t(v.position >> 32);
        v.streamStart += consumed;
        v.position -= uint64_t(consumed) << 32;
        if (v.streamStart > 65536 && v.streamStart * 2 > v.frames) {
            v.samples.erase(v.samples.begin(), v.samples.begin() + ptrdiff_t(v.streamStart * ch));
            v.frames -= v.streamStart;
            v.streamStart = 0;
        }
    }
}

void MixLocked(int16_t *out, int frames) {
    // A plain array: the device's thread may still mix while the process
    // runs its exit, after a vector's destructor would have freed it.
    static int32_t acc[4096 * 2];
    while (frames > 0) {
        int n = std::min(frames, 4096);
        std::fill_n(acc, size_t(n) * 2, 0);
        for (Voice &v : gVoices)
            if (v.used && v.playing) MixVoice(v, acc, n);
        if (out) {
            for (int i = 0; i < 2 * n; ++i) out[i] = int16_t(std::clamp(acc[size_t(i)], -32768, 32767));
            out += 2 * n;
        }
        frames -= n;
    }
}

// Without a device the voices play out against the wall clock.
void AdvanceClockLocked() {
    if (gMode != AudioMode::Clock || !gOpen) return;
    auto now = std::chrono::steady_clock::now();
    double seconds = std::chrono::duration<double>(now - gLastTick).count();
    gLastTick = now;
    seconds = std::min(seconds, 10.0);
    double frames = seconds * kMixRate + gClockCarry;
    int whole = int(frames);
    gClockCarry = frames - whole;
    if (whole > 0) MixLocked(nullptr, whole);
}

void Callback(void *, Uint8 *stream, int len) {
    std::lock_guard<std::mutex> hold(gLock);
    MixLocked(reinterpret_cast<int16_t *>(stream), len / 4);
}

struct Guard {
    std::lock_guard<std::mutex> hold{gLock};
    Guard() { AdvanceClockLocked(); }
};

}  // namespace

AudioMode osAudioOpen(bool manual) {
    osAudioClose();
    AudioMode mode = manual ? AudioMode::Manual : AudioMode::Clock;
    if (!manual && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{}, have{};
        want.freq = kMixRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = Callback;
        gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (gDevice) {
            mode = AudioMode::Device;
            // An exit that skips the shutdown (a fatal error, a failed start)
            // stops the device's thread before the voices' samples are
            // destroyed under it.
            static const bool closesAtExit = std::atexit([] { osAudioClose(); }) == 0;
            (void)closesAtExit;
        }
        else SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    {
        std::lock_guard<std::mutex> hold(gLock);
        gMode = mode;
        gOpen = true;
        gLastTick = std::chrono::steady_clock::now();
        gClockCarry = 0;
    }
    if (gDevice) SDL_PauseAudioDevice(gDevice, 0);
    return mode;
}

void osAudioClose() {
    if (gDevice) {
        SDL_CloseAudioDevice(gDevice);  // waits for the callback to finish
        gDevice = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard<std::mutex> hold(gLock);
    for (Voice &v : gVoices) Release(v);
    gOpen = false;
    gMode = AudioMode::Clock;
}

AudioMode osAudioMode() {
    std::lock_guard<std::mutex> hold(gLock);
    return gMode;
}

bool osAudioIsOpen() {
    std::lock_guard<std::mutex> hold(gLock);
    return gOpen;
}

void osAudioMix(int16_t *out, int frames) {
    std::lock_guard<std::mutex> hold(gLock);
    MixLocked(out, frames);
}

int osVoiceCreate(const void *pcm, uint32_t bytes, int channels, int bits, int rate) {
    if (!pcm || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate <= 0) return 0;
    int bpf = channels * bits / 8;
    size_t frames = bytes / uint32_t(bpf);
    std::vector<int16_t> samples(frames * size_t(channels));
    const uint8_t *p = static_cast<const uint8_t *>(pcm);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = bits == 8 ? int16_t((int(p[i]) - 128) << 8) : int16_t(p[2 * i] | p[2 * i + 1] << 8);
    Guard g;
    int h;
    Voice *v = Open(channels, bpf, rate, h);
    if (!v) return 0;
    v->samples = std::move(samples);
    v->frames = frames;
    return h;
}

void osVoiceDestroy(int voice) {
    Guard g;
    if (Voice *v = Find(voice)) Release(*v);
}

int osVoiceNativeRate(int voice) {
    Guard g;
    Voice *v = Find(voice);
    return v ? v->nativeRate : 0;
}

void osVoiceSetVolume(int voice, int32_t centibels) {
    Guard g;
    if (Voice *v = Find(voice)) {
        v->volume = std::clamp<int32_t>(centibels, -10000, 0);
        UpdateGains(*v);
    }
}

int32_t osVoiceGetVolume(int voice) {
    Guard g;
    Voice *v = Find(voice);
    return v ? v->volume : 0;
}

void osVoiceSetPan(int voice, int32_t pan) {
    Guard g;
    if (Voice *v = Find(voice)) {
        v->pan = std::clamp<int32_t>(pan, -10000, 10000);
        UpdateGains(*v);
    }
}

int32_t osVoiceGetPan(int voice) {
    Guard g;
    Voice *v = Find(voice);
    return v ? v->pan : 0;
}

void osVoiceSetFrequency(int voice, int32_t hz) {
    Guard g;
    if (Voice *v = Find(voice)) v->frequency = hz <= 0 ? 0 : std::clamp<int32_t>(hz, 100, 200000);
}

int32_t osVoiceGetFrequency(int voice) {
    Guard g;
    Voice *v = Find(voice);
    return v ? Rate(*v) : 0;
}

void osVoicePlay(int voice, bool loop) {
    Guard g;
    if (Voice *v = Find(voice)) {
        v->loop = loop;
        v->playing = true;
    }
}

void osVoiceStop(int voice) {
    Guard g;
    if (Voice *v = Find(voice)) v->playing = false;
}

void osVoiceSetPosition(int voice, uint32_t byteOffset) {
    Guard g;
    if (Voice *v = Find(voice); v && !v->stream) {
        uint64_t f = byteOffset / uint32_t(v->bytesPerFrame);
        v->position = std::min<uint64_t>(f, v->frames) << 32;
    }
}

uint32_t osVoiceGetPosition(int voice) {
    Guard g;
    Voice *v = Find(voice);
    return v ? uint32_t((v->position >> 32) * uint64_t(v->bytesPerFrame)) : 0;
}

bool osVoiceIsPlaying(int voice) {
    Guard g;
    Voice *v = Find(voice);
    if (!v) return false;
    if (v->stream) return v->frames > v->streamStart + size_t(v->position >> 32);
    return v->playing;
}

int osStreamCreate(int channels, int rate) {
    if ((channels != 1 && channels != 2) || rate <= 0) return 0;
    Guard g;
    int h;
    Voice *v = Open(channels, 2 * channels, rate, h);
    if (!v) return 0;
    v->stream = true;
    v->playing = true;
    return h;
}

void osStreamPush(int voice, const int16_t *frames, int count) {
    if (!frames || count <= 0) return;
    Guard g;
    Voice *v = Find(voice);
    if (!v || !v->stream) return;
    v->samples.insert(v->samples.end(), frames, frames + size_t(count) * size_t(v->channels));
    v->frames += size_t(count);
}

int osStreamQueued(int voice) {
    Guard g;
    Voice *v = Find(voice);
    if (!v || !v->stream) return 0;
    size_t used = v->streamStart + size_t(v->position >> 32);
    return v->frames > used ? int(v->frames - used) : 0;
}

void osStreamClear(int voice) {
    Guard g;
    if (Voice *v = Find(voice); v && v->stream) {
        v->samples.clear();
        v->frames = 0;
        v->streamStart = 0;
        v->position = 0;
    }
}
