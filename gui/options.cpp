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
#include "present/p3d.h"
#include "platform/sound.h"
#include "script/career.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/flight.h"

RenderOptionFlags gRenderOptions;
OptionSwitches gOptionSwitches;
int32_t gDefaultCaptainCalls;
uint8_t gDefaultCaptainReplaced;

namespace {

uint8_t Flag(float value) { return value != 0 ? 255 : 0; }

void ApplyGamma(OptionRecord *o) {
    DisplayGamma = o->value;
    DisplayLoadPalette(LastPalette);
}
void ApplyAmbient(OptionRecord *o) { P3DSetMaterialAmbient(o->value); }
void ApplyNebula(OptionRecord *o) {
    gRenderOptions.nebula = Flag(o->value);
    gRenderOptions.noNebula = o->value == 0 ? 1 : 0;
}
void ApplyWeaponLight(OptionRecord *o) { gRenderOptions.weaponLight = Flag(o->value); }
void ApplyStillDialogue(OptionRecord *o) {
    gOptionSwitches.stillDialogue = CardMode ? 0 : Flag(o->value);
}
void ApplyPlanetFilter(OptionRecord *o) { gRenderOptions.planetFilter = Flag(o->value); }
void ApplyWeaponFrame(OptionRecord *o) { gRenderOptions.weaponFrame = Flag(o->value); }
void ApplyControlMethod(OptionRecord *o) { dunControlMethod = o->value != 0 ? 1 : 0; }
void ApplyJoystickAxis(OptionRecord *o) { gOptionSwitches.joystickAxis = o->value != 0 ? 1 : 0; }
void ApplyJoystickHat(OptionRecord *o) {
    const int v = int(o->value);
    gOptionSwitches.hatMode = v == 0 ? 1 : v == 1 ? 0 : 2;
}
void ApplyHighDetail(OptionRecord *o) { gRenderOptions.highDetail = Flag(o->value); }
void ApplyInfMode(OptionRecord *o) { dunInfMode = Flag(o->value); }
void ApplyStarBlur(OptionRecord *o) { gRenderOptions.noStarStreaks = o->value == 0 ? 255 : 0; }
void ApplyMissileTrails(OptionRecord *o) { gRenderOptions.missileTrails = Flag(o->value); }
void ApplySubtitles(OptionRecord *o) { gFeedSubtitles = Flag(o->value); }
void ApplySoundLevel(OptionRecord *o) { MasterVolume = o->value; }
void ApplyCollisions(OptionRecord *o) { dunCollisionDamage = o->value == 0 ? 255 : 0; }
void ApplyRadio(OptionRecord *o) { gOptionSwitches.radio = Flag(o->value); }
void ApplyProxWarning(OptionRecord *o) { dunProximityWarningOption = Flag(o->value); }
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
    gP3D.autoDetail = CardMode ? Flag(o->value) : 0;
    if (!gP3D.autoDetail) DetailFromScale();
}

constexpr uint8_t kPer = 0xFF;
using K = uint8_t;
constexpr K S = OptionKind::Slider, T = OptionKind::Toggle;

const OptionRecord kTable[kOptionCount + 1] = {
    {"gamma", S, kPer, 1, 0.5f, 2, ApplyGamma, 's', 1, 1, 0, {}},
    {"ambient", S, kPer, 0.1f, 0, 1, ApplyAmbient, 0, 0.1f, 0.1f, 0, {}},
    {"nebula", T, kPer, 1, 0, 1, ApplyNebula, 0, 1, 1, 0, {}},
    {"weapon_light", T, kPer, 1, 0, 1, ApplyWeaponLight, 0, 1, 1, 0, {}},
    {"still_dialogue", T, 0, 0, 0, 1, ApplyStillDialogue, 's', 0, 0, 0, {}},
    {"ship_detail", S, kPer, 1, 0.5f, 1.5f, ApplyShipDetail, 0, 1, 1, 0, {}},
    {"planet_filter", T, kPer, 1, 0, 1, ApplyPlanetFilter, 0, 1, 1, 0, {}},
    {"weaponframe", T, 0, 1, 0, 1, ApplyWeaponFrame, 0, 1, 1, 0, {}},
    {"control_method", T, 0, 0, 0, 1, ApplyControlMethod, 0, 0, 0, 0, {}},
    {"joystick_axis", T, 0, 0, 0, 1, ApplyJoystickAxis, 0, 1, 1, 0, {}},
    {"joystick_hat", T, 0, 0, 0, 2, ApplyJoystickHat, 0, 0, 0, 0, {}},
    {"hidef_tog", T, kPer, 0, 0, 1, ApplyHighDetail, 'h', 0, 1, 0, {}},
    {"inf_mode", T, 0, 0, 0, 1, ApplyInfMode, 'f', 0, 0, 0, {}},
    {"star_blur", T, kPer, 1, 0, 1, ApplyStarBlur, 'h', 1, 0, 0, {}},
    {"missile_trails", T, kPer, 1, 0, 1, ApplyMissileTrails, 'h', 0, 1, 0, {}},
    {"subtitles", T, 0, 1, 0, 1, ApplySubtitles, 0, 1, 1, 0, {}},
    {"sound_onoff", T, 0, 1, 0, 1, nullptr, 0, 1, 1, 0, {}},
    {"sound_level", S, 0, 100, 0, 100, ApplySoundLevel, 0, 100, 100, 0, {}},
    {"write_dialogue", T, 0, 1, 0, 1, nullptr, 0, 1, 1, 0, {}},
    {"collisions", T, 0, 0, 0, 1, ApplyCollisions, 0, 0, 0, 0, {}},
    {"radio_toggle", T, 0, 1, 0, 1, ApplyRadio, 0, 1, 1, 0, {}},
    {"autodetail_toggle", T, kPer, 0, 0, 1, ApplyAutoDetail, 'h', 0, 0, 0, {}},
    {"prox_warning", T, 0, 1, 0, 1, ApplyProxWarning, 0, 0, 0, 0, {}},
    {"dialogue_level", S, 0, 0, -0.1f, 0.1f, ApplyDialogueLevel, 0, 0, 0, 0, {}},
    {nullptr, 0, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, {}},
};

}  // namespace

OptionRecord gOptions[kOptionCount + 1];

namespace {

void TableDefaults() {
    for (int i = 0; i <= kOptionCount; ++i) gOptions[i] = kTable[i];
    gRenderOptions = RenderOptionFlags{255, 0, 255, 255, 255, 0, 0, 255, 24};
    gOptionSwitches = OptionSwitches{0, 0, 1, 255};
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
    std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "%s", kNames[pick]);
    gDefaultCaptainReplaced = 1;
    gCaptainNamed = 1;
}
