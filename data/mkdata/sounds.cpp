// Synthesised sound effects for the seventy sound slots: beeps, noise
// bursts, engine hums and chatter, in a mix of rates and sample formats.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "mkdata.h"

namespace {

struct Format {
    int rate, bits, channels;
};

uint32_t gNoise = 12345;
float Noise() {
    gNoise = gNoise * 1103515245u + 12345u;
    return float((gNoise >> 9) & 0xFFFF) / 32768.0f - 1.0f;
}

enum class Kind { Beep, Sweep, Noise, Hum, Chatter, Gun };

// One sample of the effect at time t (seconds) of a total length len.
float Sample(Kind kind, float t, float len, float pitch) {
    const float pi2 = 6.2831853f;
    float env = std::min(1.0f, std::min(t * 200.0f, (len - t) * 50.0f));
    switch (kind) {
    case Kind::Beep:
        return env * 0.6f * std::sin(pi2 * pitch * t);
    case Kind::Sweep:
        return env * 0.6f * std::sin(pi2 * pitch * t * (1.0f + t / len));
    case Kind::Noise:
        return env * 0.5f * Noise() * (1.0f - t / len);
    case Kind::Hum:
        return env * 0.4f * (std::sin(pi2 * pitch * t) + 0.5f * std::sin(pi2 * pitch * 2.01f * t)) / 1.5f;
    case Kind::Chatter:
        return env * 0.3f * Noise() * (0.5f + 0.5f * std::sin(pi2 * 9.0f * t)) + 0.2f * std::sin(pi2 * pitch * t);
    case Kind::Gun:
        return env * 0.6f * Noise() * std::exp(-std::fmod(t, 0.08f) * 40.0f);
    }
    return 0;
}

void Put16(std::vector<uint8_t> &b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t> &b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

std::vector<uint8_t> Wave(Kind kind, float seconds, float pitch, Format f, int frames = -1) {
    if (frames < 0) frames = int(seconds * float(f.rate));
    std::vector<uint8_t> data;
    for (int i = 0; i < frames; ++i) {
        float t = float(i) / float(f.rate);
        for (int c = 0; c < f.channels; ++c) {
            float s = Sample(kind, t, seconds, pitch * (c ? 1.01f : 1.0f));
            s = std::max(-1.0f, std::min(1.0f, s));
            if (f.bits == 8) data.push_back(uint8_t(128 + int(s * 127)));
            else Put16(data, uint16_t(int16_t(s * 32767)));
        }
    }
    return mkdata::WaveBytes(data, f.rate, f.bits, f.channels);
}

}  // namespace

std::vector<uint8_t> mkdata::WaveBytes(const std::vector<uint8_t> &data, int rate, int bits, int channels) {
    std::vector<uint8_t> b{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    const int align = channels * bits / 8;
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, uint32_t(channels));
    Put32(b, uint32_t(rate));
    Put32(b, uint32_t(rate * align));
    Put16(b, uint32_t(align));
    Put16(b, uint32_t(bits));
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put32(b, uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    const uint32_t riff = uint32_t(b.size() - 8);
    for (int i = 0; i < 4; ++i) b[size_t(4 + i)] = uint8_t(riff >> (8 * i));
    return b;
}

namespace {

bool MakeSounds(const mkdata::Context &ctx) {
    const Format mono8{22050, 8, 1}, mono16{22050, 16, 1}, stereo16{44100, 16, 2}, low8{11025, 8, 1},
        stereo8{22050, 8, 2};
    struct Effect {
        const char *name;
        Kind kind;
        float seconds, pitch;
        Format format;
    };
    std::vector<Effect> effects = {
        {"defaultbeep", Kind::Beep, 0.15f, 880, mono8},   {"littlebeep", Kind::Beep, 0.08f, 1320, mono8},
        {"NormalBeep", Kind::Beep, 0.2f, 660, mono16},    {"OldBeeps", Kind::Sweep, 0.3f, 440, low8},
        {"RadioCutoff", Kind::Noise, 0.15f, 0, mono8},    {"SuperSheild", Kind::Sweep, 0.5f, 220, stereo16},
        {"Gatling", Kind::Gun, 0.4f, 0, mono16},          {"ZoomIn", Kind::Sweep, 0.25f, 600, mono8},
        {"ZoomOut", Kind::Sweep, 0.25f, 300, mono8},      {"Proximity", Kind::Beep, 0.3f, 1000, stereo8},
        {"SniperGun", Kind::Gun, 0.2f, 0, stereo16},      {"ShellSnd", Kind::Noise, 0.3f, 0, mono16},
        {"Frag", Kind::Noise, 0.6f, 0, stereo16},         {"ss209", Kind::Sweep, 0.4f, 500, mono16},
        // The station's beacon, a low hum that loops on it.
        {"beacon", Kind::Hum, 1.0f, 140, mono16},
    };
    for (int i = 1; i <= 10; ++i) {
        static std::string names[10];
        names[i - 1] = "Chatter" + std::to_string(i);
        effects.push_back({names[i - 1].c_str(), Kind::Chatter, 0.6f + 0.05f * float(i), 300.0f + 20.0f * float(i),
                           i % 2 ? mono8 : low8});
    }
    static const char *const numbered[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11",
                                           "12a", "12b", "13", "14", "15", "16", "17", "18", "19a", "19b", "20",
                                           "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31",
                                           "32", "33", "34", "35", "36", "37", "38", "39", "40", "41", "42", "43"};
    const Kind kinds[] = {Kind::Beep, Kind::Noise, Kind::Hum, Kind::Sweep, Kind::Gun};
    const Format formats[] = {mono8, mono16, stereo16, low8, stereo8};
    int n = 0;
    for (const char *name : numbered) {
        Kind k = kinds[n % 5];
        float seconds = k == Kind::Hum ? 1.0f : 0.2f + 0.02f * float(n % 7);
        effects.push_back({name, k, seconds, 110.0f + 37.0f * float(n), formats[(n / 5) % 5]});
        ++n;
    }
    for (const Effect &e : effects) {
        std::vector<uint8_t> bytes = Wave(e.kind, e.seconds, e.pitch, e.format);
        if (!mkdata::WriteFile(ctx, std::string("vek/resource/sounds/") + e.name + ".wav", bytes.data(), bytes.size()))
            return false;
    }
    // One file with an odd count of sample bytes.
    std::vector<uint8_t> odd = Wave(Kind::Beep, 0.05f, 500, mono8, 1103);
    return mkdata::WriteFile(ctx, "vek/resource/sounds/littlebeep.wav", odd.data(), odd.size());
}

mkdata::Generator gSounds("40-sounds", MakeSounds);

}  // namespace
