#include "platform/sound.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/log.h"
#include "core/options.h"
#include "os/audio.h"
#include "platform/wave.h"
#include "RES/util.h"

SoundSlot SoundSlots[kSoundSlots] = {
    {"10", 1},        {"11", 0},        {"32", 1},          {"27", 0},          {"31", 0},
    {"33", 1},        {"13", 1},        {"14", 1},          {"15", 1},          {"16", 0},
    {"17", 1},        {"1", 1},         {"2", 1},           {"3", 1},           {"4", 1},
    {"5", 1},         {"6", 1},         {"7", 1},           {"8", 1},           {"9", 1},
    {"12a", 1},       {"12b", 0},       {"18", 0},          {"19a", 0},         {"19b", 0},
    {"20", 0},        {"21", 0},        {"22", 0},          {"23", 1},          {"24", 0},
    {"25", 0},        {"26", 1},        {"28", 0},          {"29", 1},          {"30", 0},
    {"34", 0},        {"35", 0},        {"36", 0},          {"37", 0},          {"38", 0},
    {"39", 0},        {"40", 0},        {"41", 0},          {"42", 0},          {"43", 0},
    {"ShellSnd", 0},  {"Frag", 0},      {"Chatter1", 1},    {"Chatter2", 1},    {"Chatter3", 1},
    {"Chatter4", 1},  {"Chatter5", 1},  {"Chatter6", 1},    {"Chatter7", 1},    {"Chatter8", 1},
    {"Chatter9", 1},  {"Chatter10", 1}, {"defaultbeep", 1}, {"littlebeep", 1},  {"NormalBeep", 1},
    {"OldBeeps", 1},  {"RadioCutoff", 1}, {"SuperSheild", 1}, {"Gatling", 1},   {"ZoomIn", 1},
    {"ZoomOut", 1},   {"Proximity", 1}, {"SniperGun", 1},   {"None", 0},        {"None", 0},
};
SoundSlot SpeechSlot;
SoundSlot *SoundListHead = nullptr;
SoundSlot *SoundListTail = nullptr;
uint8_t SoundEnabled = 0xFF;
float MasterVolume = 100.0f;
float DialogueBalance = 0.0f;
uint8_t SoundInitDone = 0;


int32_t SoundScaledVolume(int32_t volume) {
    return int32_t(double(volume + 10000) * (100.0 + MasterVolume) / 200.0) - 10000;
}

void SoundInit() {
    if (!optSound) SoundEnabled = 0;
    if (!SoundEnabled) return;
    if (!osAudioIsOpen() && osAudioOpen(false) == AudioMode::Clock) {
        // Silence is no failure, but a user who hears nothing is told why,
        // once.
        static bool told = false;
        if (!told) dunUserNotice("no sound device: the game runs silent");
        told = true;
    }
    SoundListHead = SoundListTail = nullptr;
}

void SoundLoad(int index) {
    if (!SoundEnabled || index < 0 || index >= kSoundSlots) return;
    SoundSlot *slot = &SoundSlots[index];
    if (!slot->name) return;
    char path[160];
    std::snprintf(path, sizeof path, "vek\\resource\\sounds\\%s.wav", slot->name);
    SoundCreateBuffer(slot, path);
}

void SoundLoadAll() {
    if (!SoundEnabled) return;
    for (int i = 0; i < kSoundSlots; ++i)
        if (SoundSlots[i].keep & 0xFF) SoundLoad(i);
}

static void ReleaseBuffer(SoundSlot *slot) {
    SoundStop(slot);
    if (slot->buffer) osVoiceDestroy(slot->buffer);
    slot->buffer = 0;
    WaveFree(slot->format);
    WaveFree(slot->waveData);
    slot->format = nullptr;
    slot->waveData = nullptr;
    slot->playing = slot->paused = 0;
}

static void Unlink(SoundSlot *slot) {
    SoundSlot *previous = nullptr;
    for (SoundSlot **link = &SoundListHead; *link; link = &(*link)->next) {
        if (*link != slot) {
            previous = *link;
            continue;
        }
        *link = slot->next;
        if (SoundListTail == slot) SoundListTail = previous;
        slot->next = nullptr;
        return;
    }
}

static bool InList(const SoundSlot *slot) {
    for (SoundSlot *s = SoundListHead; s; s = s->next)
        if (s == slot) return true;
    return false;
}

uint32_t SoundCreateBuffer(SoundSlot *slot, const char *path) {
    if (!SoundEnabled || !slot) return 0;
    if (slot->buffer) ReleaseBuffer(slot);
    uint32_t size = 0;
    if (WaveLoadFile(path, &size, nullptr, &slot->format, &slot->waveData) != kWaveOk) return 0;
    const WaveFormat *fmt = slot->format;
    // The buffer holds an even count of bytes; an odd tail gets the 8-bit
    // silence value.
    uint32_t bytes = (size + 1) & ~1u;
    uint8_t *copy = static_cast<uint8_t *>(std::malloc(bytes ? bytes : 1));
    int voice = 0;
    if (copy) {
        std::memcpy(copy, slot->waveData, size);
        if (bytes != size) copy[size] = 128;
        if (fmt->formatTag == kWaveFormatPcm)
            voice = osVoiceCreate(copy, bytes, fmt->channels, fmt->bitsPerSample, int(fmt->samplesPerSec));
        std::free(copy);
    }
    const uint32_t bytesPerSecond = fmt->avgBytesPerSec ? fmt->avgBytesPerSec
                                                        : fmt->samplesPerSec * fmt->channels * (fmt->bitsPerSample / 8u);
    WaveFree(slot->waveData);
    WaveFree(slot->format);
    slot->waveData = nullptr;
    slot->format = nullptr;
    if (!voice) return 0;
    // Only a slot whose buffer exists joins the loaded list, and only once.
    slot->buffer = voice;
    slot->size = size;
    slot->paused = 0;
    slot->playing = 0;
    slot->baseFrequency = osVoiceNativeRate(voice);
    slot->bytesPerSecond = bytesPerSecond;
    slot->inHardware = 0;
    osVoiceSetVolume(voice, 0);
    osVoiceSetPan(voice, 0);
    if (slot != &SpeechSlot && !InList(slot)) {
        slot->next = nullptr;
        if (SoundListTail) SoundListTail->next = slot;
        else SoundListHead = slot;
        SoundListTail = slot;
    }
    if (SoundInitDone) slot->releaseMark = 1;
    return size;
}

void SoundSetVolume(SoundSlot *slot, int32_t volume) {
    if (!SoundEnabled || !slot) return;
    slot->volume = volume;
    if (!slot->buffer) return;
    int32_t scaled = SoundScaledVolume(volume);
    if (osVoiceGetVolume(slot->buffer) != scaled) osVoiceSetVolume(slot->buffer, scaled);
}

void SoundSetFrequency(SoundSlot *slot, int32_t hz) {
    if (!SoundEnabled || !slot) return;
    slot->frequency = hz;
    if (!slot->buffer) return;
    int32_t now = osVoiceGetFrequency(slot->buffer);
    int32_t want = hz ? hz : slot->baseFrequency;
    if (now != want) osVoiceSetFrequency(slot->buffer, hz);
}

void SoundSetPan(SoundSlot *slot, int32_t pan) {
    if (!SoundEnabled || !slot) return;
    slot->pan = pan;
    if (slot->buffer && osVoiceGetPan(slot->buffer) != pan) osVoiceSetPan(slot->buffer, pan);
}

void SoundStart(SoundSlot *slot, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop) {
    if (!SoundEnabled || !slot || !slot->buffer) return;
    slot->paused = 0;
    slot->loop = loop;
    SoundSetVolume(slot, volume);
    SoundSetFrequency(slot, frequency);
    SoundSetPan(slot, pan);
    // A slot that is already sounding starts again from the top rather than
    // as a second copy; it keeps the loop mode it was started with (the new
    // flag is stored for the next start or resume).
    osVoiceSetPosition(slot->buffer, 0);
    if (!osVoiceIsPlaying(slot->buffer)) osVoicePlay(slot->buffer, loop != 0);
    slot->playing = 1;
}

void SoundStartFaded(SoundSlot *slot, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop) {
    if (!SoundEnabled) return;
    if (DialogueBalance > 0) volume = int32_t(double(volume + 10000) * (1.0 - DialogueBalance) - 10000);
    SoundStart(slot, volume, frequency, pan, loop);
}

void SoundStartFadedIn(SoundSlot *slot, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop) {
    if (!SoundEnabled) return;
    if (DialogueBalance < 0) volume = int32_t(double(volume + 10000) * (1.0 + DialogueBalance) - 10000);
    SoundStart(slot, volume, frequency, pan, loop);
}

void SoundPlay(int index, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop) {
    if (!SoundEnabled || index < 0 || index >= kSoundSlots) return;
    SoundSlot *slot = &SoundSlots[index];
    if (!slot->buffer) SoundLoad(index);
    SoundStartFaded(slot, volume, frequency, pan, loop);
}

void SoundPlayVaried(int index, int32_t volume, int32_t, int32_t pan, uint8_t loop, int32_t spread) {
    if (!SoundEnabled || index < 0 || index >= kSoundSlots) return;
    SoundSlot *slot = &SoundSlots[index];
    if (!slot->buffer) SoundLoad(index);
    // No spread means the slot's own pitch (and no division by zero).
    int32_t offset = spread > 0 ? dunRand15() % spread - spread / 2 : 0;
    int32_t frequency = slot->baseFrequency + offset;
    if (frequency < 0) frequency = 0;
    SoundStartFaded(slot, volume, frequency, pan, loop);
}

void SoundRestart(SoundSlot *slot) {
    if (!SoundEnabled || !slot || !slot->buffer) return;
    slot->paused = 0;
    // A paused sound goes on from where the pause stopped it: the slot's
    // stored position is what pausing kept. One still sounding starts again.
    if (osVoiceIsPlaying(slot->buffer)) osVoiceSetPosition(slot->buffer, 0);
    else osVoicePlay(slot->buffer, slot->loop != 0);
    slot->playing = 1;
    // The stored volume already carries the dialogue fade; the master level
    // is applied again so that a resumed sound is no louder than before.
    osVoiceSetVolume(slot->buffer, SoundScaledVolume(slot->volume));
}

bool SoundIsPlaying(SoundSlot *slot) {
    if (!SoundEnabled || !slot || !slot->buffer) return false;
    return osVoiceIsPlaying(slot->buffer);
}

void SoundStop(SoundSlot *slot) {
    if (!SoundEnabled || !slot || !slot->playing) return;
    if (slot->buffer) osVoiceStop(slot->buffer);
    slot->playing = 0;
}

void SoundStopIndex(int index) {
    if (!SoundEnabled || index < 0 || index >= kSoundSlots || !SoundSlots[index].buffer) return;
    SoundStop(&SoundSlots[index]);
}

void SoundStopAll() {
    if (!SoundEnabled) return;
    for (SoundSlot *s = SoundListHead; s; s = s->next) {
        SoundStop(s);
        s->paused = 0;
    }
}

void SoundPauseAll() {
    if (!SoundEnabled) return;
    for (SoundSlot *s = SoundListHead; s; s = s->next) {
        if (s->buffer && osVoiceIsPlaying(s->buffer)) {
            osVoiceStop(s->buffer);
            s->playing = 0;
            s->paused = 1;
        }
    }
    if (SpeechSlot.playing) {
        if (SpeechSlot.buffer && osVoiceIsPlaying(SpeechSlot.buffer)) {
            osVoiceStop(SpeechSlot.buffer);
            SpeechSlot.paused = 1;
        }
        SpeechSlot.playing = 0;
    }
}

void SoundResumeAll() {
    if (!SoundEnabled) return;
    for (SoundSlot *s = SoundListHead; s; s = s->next) {
        if (s->paused) {
            SoundRestart(s);
            s->paused = 0;
        }
    }
    if (SpeechSlot.paused) {
        SoundRestart(&SpeechSlot);
        SpeechSlot.paused = 0;
    }
}

void SoundRelease(SoundSlot *slot) {
    if (!SoundEnabled || !slot) return;
    ReleaseBuffer(slot);
    // A released slot may be freed by its owner (a sound resource block):
    // the list must not lead to it any more.
    Unlink(slot);
}

void SoundReleaseAll() {
    if (!SoundEnabled) return;
    SoundStopAll();
    while (SoundListHead) SoundRelease(SoundListHead);
    SoundRelease(&SpeechSlot);
}

void SoundShutdown() {
    if (!SoundEnabled) return;
    SoundReleaseAll();
    osAudioClose();
}

void SoundReleaseMarked() {
    if (!SoundEnabled) return;
    SoundStopAll();
    SoundSlot **link = &SoundListHead;
    SoundListTail = nullptr;
    while (SoundSlot *s = *link) {
        if (s->releaseMark) {
            *link = s->next;
            SoundRelease(s);
            s->next = nullptr;
            s->releaseMark = 0;
        } else {
            SoundListTail = s;
            link = &s->next;
        }
    }
    SoundRelease(&SpeechSlot);
}

SoundSlot *SpeechPlayFile(const char *path) {
    if (!SoundEnabled) return nullptr;
    SoundRelease(&SpeechSlot);
    if (!SoundCreateBuffer(&SpeechSlot, path)) return nullptr;
    SoundStartFadedIn(&SpeechSlot, 0, 0, 0, 0);
    return &SpeechSlot;
}

void SpeechRelease() { SoundRelease(&SpeechSlot); }

int32_t SoundDurationCs(const SoundSlot *slot) {
    if (!slot || !slot->buffer || !slot->bytesPerSecond) return 0;
    return int32_t(uint64_t(slot->size) * 100 / slot->bytesPerSecond);
}

SoundSlot *SoundGetSlot(int index) { return index >= 0 && index < kSoundSlots ? &SoundSlots[index] : nullptr; }

double SoundPlacePosition(const SoundPlace *source, const SoundPlace *camera, int32_t playerSystem,
                          int32_t *volume, int32_t *pan, Vec3 *direction) {
    if (!source || !camera) return 0.0;
    Vec3 rel{float(source->position.x - camera->position.x), float(source->position.y - camera->position.y),
             float(source->position.z - camera->position.z)};
    Vec3 v;
    MatTransformPoint(v, rel, camera->orientation);
    float len = VecNormalise(v);
    if (direction) *direction = v;
    if (source->starSystem != playerSystem) {
        *pan = 0;
        *volume = -10000;
        return 1e11;
    }
    *pan = int32_t(v.x * 10000.0f);
    *volume = len <= 5000000.0f ? int32_t(-len / 500.0f) : -10000;
    return len;
}

void SoundPlaceParams(const SoundPlace *source, const SoundPlace *camera, int32_t playerSystem, bool sourceIsCamera,
                      int32_t *frequency, float scale) {
    if (!source || !camera || source->starSystem != playerSystem) return;
    *frequency = 22050;
    if (sourceIsCamera) return;
    double dx = source->position.x - camera->position.x;
    double dy = source->position.y - camera->position.y;
    double dz = source->position.z - camera->position.z;
    double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (len == 0.0) return;
    double closing = (dx * (source->velocity.x - camera->velocity.x) + dy * (source->velocity.y - camera->velocity.y) +
                      dz * (source->velocity.z - camera->velocity.z)) /
                     len;
    if (closing < -100000.0) closing = -100000.0;
    if (closing > 100000.0) closing = 100000.0;
    *frequency = int32_t(-closing / 100000.0 * scale * 5000.0) + 22050;
}
