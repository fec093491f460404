// The option table with its apply routines, setting an option by its stored
// name, and the default captain names.
#include "gui/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/options.h"
#include "gui/feed.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "present/p3d.h"
#include "script/career.h"
#include "script/dialogue.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/flight.h"

uint8_t gOptStillDialogue;
uint8_t gOptRadio = 0xFF;
int32_t gDefaultCaptainCalls;
uint8_t gDefaultCaptainReplaced;

namespace {

uint8_t Flag(float value) { return value != 0 ? 255 : 0; }

// The plain toggle: its flag is 255 while the value is not 0. The inverted
// one sets its flag while the value is 0.
void ApplyFlag(OptionRecord *o) { *o->flag = Flag(o->value); }
void ApplyInverted(OptionRecord *o) { *o->flag = o->value == 0 ? 255 : 0; }

void ApplyGamma(OptionRecord *o) {
    DisplayGamma = o->value;
    DisplayLoadPalette(LastPalette);
}
void ApplyAmbient(OptionRecord *o) { P3DSetMaterialAmbient(o->value); }
void ApplyNebula(OptionRecord *o) {
    ApplyFlag(o);
    gRenderOptions.noNebula = o->value == 0 ? 1 : 0;
}
void ApplyStillDialogue(OptionRecord *o) {
    *o->flag = CardMode ? 0 : Flag(o->value);
    gDialogueChoiceResult = 0;
}
void ApplyControlMethod(OptionRecord *o) { dunControlMethod = o->value != 0 ? 1 : 0; }
void ApplyJoystickAxis(OptionRecord *o) { *o->flag = o->value != 0 ? 1 : 0; }
void ApplyJoystickHat(OptionRecord *o) {
    const int v = int(o->value);
    *o->flag = v == 0 ? 1 : v == 1 ? 0 : 2;
}
void ApplySoundLevel(OptionRecord *o) { MasterVolume = o->value; }
void ApplyDialogueLevel(OptionRecord *o) { DialogueBalance = o->value; }

// The presentation's draw distance factor and detail threshold from the
// detail scale.
void DetailFromScale() {
    const float s = gRenderOptions.detailScale;
    if (CardMode) {
        gP3D.detailHigh = s * 8.25f;
        gP3D.detailLow = gP3D.detailHigh / 10.0f;
    } else {
        gP3D.detailHigh = s;
        gP3D.detailLow = s / 2.4f;
    }
    if (gP3D.detailLow > 10.0f) gP3D.detailLow = 10.0f;
}

void ApplyShipDetail(OptionRecord *o) {
    gRenderOptions.detailScale = 24.0f * std::pow(20.0f, 2.0f - o->value) / 20.0f;
    DetailFromScale();
}

void ApplyAutoDetail(OptionRecord *o) {
    *o->flag = CardMode ? Flag(o->value) : 0;
    if (!*o->flag) DetailFromScale();
}

constexpr uint8_t kPer = 0xFF;
using K = uint8_t;
constexpr K S = OptionKind::Slider, T = OptionKind::Toggle;

const OptionRecord kTable[kOptionCount + 1] = {
    {"gamma", S, kPer, 1, 0.5f, 2, ApplyGamma, 's', 1, 1, nullptr, {}},
    {"ambient", S, kPer, 0.1f, 0, 1, ApplyAmbient, 0, 0.1f, 0.1f, nullptr, {}},
    {"nebula", T, kPer, 1, 0, 1, ApplyNebula, 0, 1, 1, &gP3D.nebulaOn, {}},
    {"weapon_light", T, kPer, 1, 0, 1, ApplyFlag, 0, 1, 1, &gRenderOptions.weaponLight, {}},
    {"still_dialogue", T, 0, 0, 0, 1, ApplyStillDialogue, 's', 0, 0, &gOptStillDialogue, {}},
    {"ship_detail", S, kPer, 1, 0.5f, 1.5f, ApplyShipDetail, 0, 1, 1, nullptr, {}},
    {"planet_filter", T, kPer, 1, 0, 1, ApplyFlag, 0, 1, 1, &gRenderOptions.planetFilter, {}},
    {"weaponframe", T, 0, 1, 0, 1, ApplyFlag, 0, 1, 1, &gRenderOptions.weaponFrame, {}},
    {"control_method", T, 0, 0, 0, 1, ApplyControlMethod, 0, 0, 0, nullptr, {}},
    {"joystick_axis", T, 0, 0, 0, 1, ApplyJoystickAxis, 0, 1, 1, &dunAxisSwap, {}},
    {"joystick_hat", T, 0, 0, 0, 2, ApplyJoystickHat, 0, 0, 0, &JoyHatMode, {}},
    {"hidef_tog", T, kPer, 0, 0, 1, ApplyFlag, 'h', 0, 1, &optHiDef, {}},
    {"inf_mode", T, 0, 0, 0, 1, ApplyFlag, 'f', 0, 0, &dunInfMode, {}},
    {"star_blur", T, kPer, 1, 0, 1, ApplyInverted, 'h', 1, 0, &optNoStreaks, {}},
    {"missile_trails", T, kPer, 1, 0, 1, ApplyFlag, 'h', 0, 1, &gRenderOptions.missileTrails, {}},
    {"subtitles", T, 0, 1, 0, 1, ApplyFlag, 0, 1, 1, &gFeedSubtitles, {}},
    {"sound_onoff", T, 0, 1, 0, 1, nullptr, 0, 1, 1, nullptr, {}},
    {"sound_level", S, 0, 100, 0, 100, ApplySoundLevel, 0, 100, 100, nullptr, {}},
    {"write_dialogue", T, 0, 1, 0, 1, nullptr, 0, 1, 1, nullptr, {}},
    {"collisions", T, 0, 0, 0, 1, ApplyInverted, 0, 0, 0, &dunCollisionDamage, {}},
    {"radio_toggle", T, 0, 1, 0, 1, ApplyFlag, 0, 1, 1, &gOptRadio, {}},
    {"autodetail_toggle", T, kPer, 0, 0, 1, ApplyAutoDetail, 'h', 0, 0, &gP3D.autoDetail, {}},
    {"prox_warning", T, 0, 1, 0, 1, ApplyFlag, 0, 0, 0, &dunProximityWarningOption, {}},
    {"dialogue_level", S, 0, 0, -0.1f, 0.1f, ApplyDialogueLevel, 0, 0, 0, nullptr, {}},
    {nullptr, 0, 0, 0, 0, 0, nullptr, 0, 0, 0, nullptr, {}},
};

}  // namespace

OptionRecord gOptions[kOptionCount + 1];

namespace {

// The table, and the flags its options set as a fresh process has them.
void TableDefaults() {
    for (int i = 0; i <= kOptionCount; ++i) gOptions[i] = kTable[i];
    gRenderOptions = kRenderOptionsAtStart;
    gOptStillDialogue = 0;
    gOptRadio = 0xFF;
    JoyHatMode = 1;
    dunAxisSwap = 0;
    gFeedSubtitles = 255;
}

// The table holds its start values before anything reads it.
struct TableStart {
    TableStart() { TableDefaults(); }
} gTableStart;

}  // namespace

void ResetOptionTable() {
    ResetOptionCaptions();
    TableDefaults();
}

OptionRecord *FindOption(const char *name) {
    if (!name) return nullptr;
    for (OptionRecord *o = gOptions; o->name; ++o)
        if (!std::strcmp(o->name, name)) return o;
    return nullptr;
}

std::string OptionStoredName(const OptionRecord &option) {
    const char *suffix = !option.perRenderer ? "_m" : CardMode ? "_h" : "_s";
    return std::string(option.name) + suffix;
}

void frontSetOptionByName(const char *name, float value) {
    frontLoadInitTable();
    if (!name) return;
    for (OptionRecord *o = gOptions; o->name; ++o) {
        if (OptionStoredName(*o) != name) continue;
        // A NaN from a broken settings line takes the minimum.
        if (!(value >= o->minimum)) value = o->minimum;
        if (value > o->maximum) value = o->maximum;
        o->value = value;
        if (o->apply) o->apply(o);
    }
}

char *frontStrDup(const char *text) {
    if (!text) return nullptr;
    const size_t n = std::strlen(text);
    auto *copy = static_cast<char *>(std::calloc(n + 1, 1));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

void frontDefaultCaptainName() {
    static const char *const kNames[6] = {"Captain Arvel Drace", "Captain Mira Solenne", "Captain Toren Vask",
                                          "Captain Ilsa Merrow",  "Captain Dov Keplar",    "Captain Senna Ruul"};
    if (++gDefaultCaptainCalls < 6) return;
    const int slot = gCareerState.word[StateWord::Slot];
    const int pick = ((slot % 6) + 6) % 6;
    // The name a new captain gets changes; the slot shown keeps its own
    // captain and stays free.
    SetDefaultCaptainName(kNames[pick]);
    gDefaultCaptainReplaced = 1;
}
