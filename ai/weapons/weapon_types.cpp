// The nineteen weapon types: each creator appends a Weapon to the ship and
// writes its type's constants, all from one table.
#include "ai/weapons.h"
#include "present/effects/particles.h"
#include "world/objlist.h"

namespace {

struct BeamConstants {
    float reloadTime, range, speed;
    int32_t lifetime;
    uint32_t visualKind;
};

struct LauncherConstants {
    float reloadTime, speed, rackReload;
    int32_t rounds, perRack, racks;
    float launch[5];
    int32_t lifetime;
    void *(*shape)();
    void (*routine)(Weapon *, SceneItem *);
};

struct TypeConstants {
    uint16_t weaponClass;
    int32_t damage, penetration;
    uint32_t flags;  // added to the record's in-use bit
    BeamConstants beam;  // beam weapons (class 0)
    LauncherConstants launcher;  // the others
};

constexpr LauncherConstants kNoLauncher = {};
constexpr BeamConstants kNoBeam = {};

// Damage and penetration of every launcher but the antimatter release.
constexpr int32_t kMunitionDamage = 180, kMunitionPenetration = 65;

// clang-format off
const TypeConstants kPbc = {0, 150, 55, 0x30, {100, 200000, 600000, 400, 0}, kNoLauncher};
const TypeConstants kPbcHev = {0, 270, 110, 0x30, {125, 250000, 600000, 400, 1}, kNoLauncher};
const TypeConstants kPbcLite = {0, 30, 25, 0x30, {250, 300000, 600000, 400, 0}, kNoLauncher};
const TypeConstants kPbcGtl = {0, 180, 55, 0x30, {50, 500000, 450000, 400, 3}, kNoLauncher};
const TypeConstants kPbcFar = {0, 180, 55, 0x30, {50, 500000, 750000, 800, 2}, kNoLauncher};
const TypeConstants kPbcSlo = {0, 315, 110, 0x30, {1000, 250000, 900000, 400, 1}, kNoLauncher};
const TypeConstants kPbcXl = {0, 647000, 160, 0x5030, {125, 2750000, 900000, 400, 5}, kNoLauncher};
const TypeConstants kSniper = {0, 300, 80, 0x44030, {250, 2500000, 2000000, 150, 5}, kNoLauncher};

const TypeConstants kSeeker = {3, kMunitionDamage, kMunitionPenetration, 0x208D0, kNoBeam,
                               {300, 20000, 400, 4, 4, 3, {64000, 43000, 0, 120, 800}, 2000, dunLoadMissileShape,
                                dunLaunchSeeker}};
const TypeConstants kTacnuke = {3, kMunitionDamage, kMunitionPenetration, 0x8D0, kNoBeam,
                                {300, 20000, 400, 1, 1, 0, {64000, 43000, 20, 40, 80}, 2000, dunLoadMissileShape,
                                 dunLaunchTacnuke}};
const TypeConstants kDisruptor = {3, kMunitionDamage, kMunitionPenetration, 0x8D0, kNoBeam,
                                  {300, 20000, 400, 1, 2, 4, {24000, 10, 0, 800, 800}, 3000, dunLoadMissileShape,
                                   dunLaunchDisruptor}};
const TypeConstants kEcmFlare = {3, kMunitionDamage, kMunitionPenetration, 0xC8D0, kNoBeam,
                                 {100, 25000, 900, 2, 2, 3, {12000, 12000, 120, 120, 120}, 2000, dunLoadMissileShape,
                                  dunLaunchECMFlare}};
const TypeConstants kLdsi = {4, kMunitionDamage, kMunitionPenetration, 0x1C8D0, kNoBeam,
                             {100, 4000, 600, 3, 3, 1, {24000, 10, 0, 800, 800}, 6000, dunLoadLdsiShape,
                              dunLaunchLDSI}};
const TypeConstants kProbe = {5, kMunitionDamage, kMunitionPenetration, 0x8D0, kNoBeam,
                              {100, 15000, 600, 2, 2, 1, {12000, 12000, 120, 120, 120}, 0, dunLoadProbeShape,
                               dunLaunchProbe}};
const TypeConstants kRecProbe = {5, kMunitionDamage, kMunitionPenetration, 0x8D0, kNoBeam,
                                 {100, 75000, 600, 2, 2, 1, {24000, 24000, 120, 120, 120}, 0, dunLoadProbeShape,
                                  dunLaunchRecProbe}};
const TypeConstants kRemMissile = {5, kMunitionDamage, kMunitionPenetration, 0x8D0, kNoBeam,
                                   {100, 75000, 600, 2, 2, 1, {24000, 24000, 120, 120, 120}, 0, dunLoadMissileShape,
                                    dunLaunchRemMissile}};
const TypeConstants kMine = {5, kMunitionDamage, kMunitionPenetration, 0x108D0, kNoBeam,
                             {100, 15000, 600, 3, 3, 1, {12000, 12000, 120, 120, 120}, 0, dunLoadMineShape,
                              dunLaunchMine}};
// Without the guided bit its rounds fly unguided on a led course.
const TypeConstants kAmRelease = {6, 800000, 160, 0x850, kNoBeam,
                                  {100, 17000, 600, 1, 4, 4, {12000, 12000, 120, 120, 120}, 2000, dunLoadMissileShape,
                                   nullptr}};
// clang-format on

Weapon *Make(const TypeConstants &t, SceneItem *ship, float x, float y, float z, const char *name, uint16_t code) {
    Weapon *w = dunAppendWeapon(ship);
    if (!w) return nullptr;
    w->name = name;
    dunWeaponSetBallistics(w, 0, t.damage, t.penetration, 0.0f, 3);
    if (t.weaponClass == WeaponClass::Beam) {
        const BeamConstants &b = t.beam;
        dunWeaponSetPerformance(w, b.reloadTime, b.range, b.speed, b.lifetime);
        w->visualKind = b.visualKind;
    } else {
        const LauncherConstants &l = t.launcher;
        dunWeaponSetMunition(w, l.reloadTime, l.speed, l.rackReload, l.rounds, l.perRack, l.racks, l.launch[0],
                             l.launch[1], l.launch[2], l.launch[3], l.launch[4], l.lifetime);
        w->shape = l.shape();
        w->launchRoutine = l.routine;
    }
    dunWeaponSetMount(w, x, y, z, code, nullptr, 360.0f);
    w->reloadTimer = 0.0f;
    w->target = nullptr;
    w->clearedWord = 0;
    w->flags |= t.flags;
    w->weaponClass = t.weaponClass;
    return w;
}

}  // namespace

Weapon *dunCreatePBC(SceneItem *ship, float x, float y, float z, const char *name, uint16_t code) {
    Weapon *w = Make(kPbc, ship, x, y, z, name, code);
    if (w && ship == dunPlayerShip) ++dunPlayerPbcCount;
    return w;
}

#define DUN_CREATOR(creator, constants)                                                            \
    Weapon *creator(SceneItem *ship, float x, float y, float z, const char *name, uint16_t code) { \
        return Make(constants, ship, x, y, z, name, code);                                         \
    }
DUN_CREATOR(dunCreatePBCHev, kPbcHev)
DUN_CREATOR(dunCreatePBCLite, kPbcLite)
DUN_CREATOR(dunCreatePBCGtl, kPbcGtl)
DUN_CREATOR(dunCreatePBCFar, kPbcFar)
DUN_CREATOR(dunCreatePBCSlo, kPbcSlo)
DUN_CREATOR(dunCreatePBCXL, kPbcXl)
DUN_CREATOR(dunCreateSniperPBC, kSniper)
DUN_CREATOR(dunCreateSeeker, kSeeker)
DUN_CREATOR(dunCreateTacnuke, kTacnuke)
DUN_CREATOR(dunCreateDisruptor, kDisruptor)
DUN_CREATOR(dunCreateLDSI, kLdsi)
DUN_CREATOR(dunCreateProbe, kProbe)
DUN_CREATOR(dunCreateRecProbe, kRecProbe)
DUN_CREATOR(dunCreateRemMissile, kRemMissile)
DUN_CREATOR(dunCreateMine, kMine)
DUN_CREATOR(dunCreateAMRelease, kAmRelease)
#undef DUN_CREATOR

Weapon *dunCreateECMFlare(SceneItem *ship, float x, float y, float z, const char *name, uint16_t code) {
    Weapon *w = Make(kEcmFlare, ship, x, y, z, name, code);
    // The ship carries flares: a seeker fired at it gives its owner the
    // word to drop one.
    if (w && ship->sim->shipInfo) ship->sim->shipInfo->flags |= ShipFlag::SpecialWeapon;
    return w;
}

Weapon *dunCreatePBCIon(SceneItem *ship, float x, float y, float z, const char *, uint16_t code) {
    if (!ship || !ship->sim) return nullptr;
    // The ion cannon's glow: a blue-white stream and a swarm about the hull.
    if (TDP *t = CreateParticleSystem(ship, nullptr, 2, 0x410, 100, 250, 240, 13500.0f, 70, 15.0f))
        if (ParticleSystem *ps = ParticleSystemOf(t)) BuildColourRamp(nullptr, ps->ramp, 140, 255, 255, 0, 140, 255);
    CreateParticleSystem(ship, nullptr, 0, 0x200000, 100, 49, 240, 13500.0f, 70, 15.0f);
    Weapon *w = dunCreatePBC(ship, x, y, z, "PBC", code);
    ship->sim->radius = 9000.0f;
    return w;
}

const WeaponTypeDef kWeaponTypes[kWeaponTypeCount + 1] = {
    {dunCreatePBC, {"PBC", "CP", "TSK"}},
    {dunCreatePBCHev, {"PBC HEV", "PBC HEV", "TSK HEV"}},
    {dunCreatePBCLite, {"PBC LITE", "PBC LITE", "TSK LITE"}},
    {dunCreatePBCGtl, {"PBC GTL", "PBC GTL", "TSK GTL"}},
    {dunCreatePBCFar, {"PBC FAR", "PBC FAR", "TSK FAR"}},
    {dunCreateSeeker, {"MAG - SEEKER", "MAG - MISSILE AUTODIR", "MAG - SUCHRAKETEN"}},
    {dunCreateLDSI, {"MAG - LDSI", "MAG - LDSI", "MAG - LDSB"}},
    {dunCreateProbe, {"MAG - PROBE", "MAG - SONDE", "MAG - SONDE"}},
    {dunCreateAMRelease, {"AM RELEASE", "LARGAGE AM", "AM AUSSTO\xDF"}},
    {dunCreatePBCIon, {"PBC ION", "PBC ION", "TSK ION"}},
    {dunCreatePBCXL, {"PBC XL", "CP XL", "TSK XL"}},
    {dunCreateMine, {"MAG - MINE", "MAG - MINE", "MAG - MINE"}},
    {dunCreatePBCSlo, {"PBC SLO", "PBC SLO", "PBC SLO"}},
    {dunCreateRecProbe, {"MAG - REC PROBE", "MAG - SONDE RECONNAISS", "MAG - AUF. SONDE"}},
    {dunCreateRemMissile, {"MAG - REM MISSILE", "MAG - MISSILE TELEGUIDE", "MAG - FERNLENKRAKETE"}},
    {dunCreateECMFlare, {"MAG - ECM FLARE", "MAG - BALISE CME", "MAG - EGM-LEUCHTRAKETE"}},
    {dunCreateDisruptor, {"MAG - DISRUPTOR", "MAG - MISSILE BROUILLEUR", "MAG - UNTERBRECHUNG"}},
    {dunCreateTacnuke, {"MAG - TACNUKE", "MAG - TACNUKE", "MAG - TACNUKE"}},
    {dunCreateSniperPBC, {"SNIPER PBC", "CP SNIPER", "LANGSTRECKEN-TSK"}},
    {nullptr, {nullptr, nullptr, nullptr}},
};
