// The camera routines, the event camera that cuts to an outside view when
// something happens to the player's ship, the action camera of the director
// mode, and the per-step pilot input that also turns the look-around.
#include "present/cameras.h"

#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "present/hooks.h"
#include "present/scene.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"

SceneItem *dunWeaponCamera;
SceneItem *dunViewCamera;
SceneItem *P3DViewedObject;
uint8_t gCameraCut[2];
uint8_t gContactCamera;
float gCinematicDistance = 1.0f;
SceneItem *gCinematicSubject;
SceneItem *gCinematicSecond;
uint8_t gCinematicView;
int16_t gCinematicHold;
uint8_t gCameraLock;
uint8_t gSequenceLock;
int32_t gEventRow;
int32_t gLastCut;
int32_t gActionInterval = 500;
Mat4 gLookMatrix = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
uint8_t gLooking;
float gLookYaw, gLookPitch;
int16_t gShakeCount, gShakeLength;
uint8_t gLookDamping;
SceneItem *gContactSubject;
const char *gViewLabel = "";
CameraViewHooks gCameraViewHooks;

CameraEventRow gCameraEvents[kCameraEventRows] = {
    {CameraTrack, nullptr, 6, 2, 500},     {CameraTrack, nullptr, 6, 1, 200},
    {CameraTrack, nullptr, 6, 1, 200},     {CameraChase, CameraTrack, 1, 0, 500},
    {CameraDriftTrack, CameraChase, 1, 0, 500}, {CameraDriftTrack, nullptr, 7, 0, 400},
    {CameraChase, CameraTrack, 2, 0, 500}, {CameraChase, CameraTrack, 0, 0, 500},
    {CameraTrack, nullptr, 3, 0, 500},     {CameraTrack, nullptr, 3, 0, 500},
    {CameraTrack, nullptr, 4, 1, 200},     {CameraTrack, nullptr, 5, 1, 200},
    {CameraTrack, nullptr, 8, 1, 500},
};
// The rows start on, as every mission reset leaves them: the first mission of
// a run comes before any reset.
static_assert(kCameraEventRows == 13);
uint8_t gCameraEventEnable[kCameraEventRows] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
uint8_t gCameraEventsOn = 0xFF;

namespace {

constexpr int32_t kMinimumCutInterval = 400;

const char *const kLabels[7] = {"TRACK", "CHASE", "PLAYER", "CONTACT", "LOOK", "TARGET", "WEAPON"};

Vec3 Row(const Mat4 &m, int r) { return {m.m[r * 4], m.m[r * 4 + 1], m.m[r * 4 + 2]}; }
void SetRow(Mat4 &m, int r, const Vec3 &v) {
    m.m[r * 4] = v.x;
    m.m[r * 4 + 1] = v.y;
    m.m[r * 4 + 2] = v.z;
}
Vec3 Sub(const Vec3 &a, const Vec3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Add(const Vec3 &a, const Vec3 &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Scale(const Vec3 &a, float k) { return {a.x * k, a.y * k, a.z * k}; }
Vec3 Cross(const Vec3 &a, const Vec3 &b) {
    Vec3 out;
    VecCross(a, b, out);
    return out;
}
float Length(const Vec3 &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
Vec3 Unit(const Vec3 &v) {
    const float l = Length(v);
    return l > 0.0f ? Scale(v, 1.0f / l) : v;
}
Vec3 Position(const SceneItem *item) { return Row(item->sim->matrix, 3); }

void SetPosition(SceneItem *camera, const Vec3 &p) {
    SetRow(camera->sim->matrix, 3, p);
    camera->sim->position = {p.x, p.y, p.z};
}

void Label(SceneItem *camera, int which) {
    if (camera == dunPlayerCamera) gViewLabel = kLabels[which];
}

bool Usable(const SceneItem *item) { return item && item->sim; }

// The object a camera looks at: its subject, else the target it was made
// for.
SceneItem *Target(const SceneItem *camera) {
    if (!camera->avatar) return nullptr;
    return camera->avatar->subject ? camera->avatar->subject : camera->avatar->cameraTarget;
}


// The subject of the track, chase, cockpit and docking cameras.
SceneItem *Subject(SceneItem *camera, bool ownFallback) {
    SceneItem *s = dunRemoteLinked ? dunRemoteLinked : dunControlledObject;
    if (gCinematicView) s = gCinematicSubject;
    if (!s) s = dunPlayerShip;
    if (!Usable(s) && ownFallback) s = Target(camera);
    return Usable(s) ? s : nullptr;
}

// The common start of a routine: the subject it shows (null: nothing to
// do), made the viewed object, with the routine's label.
SceneItem *Begin(SceneItem *camera, int label, bool ownFallback) {
    if (!Usable(camera)) return nullptr;
    SceneItem *subject = Subject(camera, ownFallback);
    if (!subject) return nullptr;
    P3DViewedObject = subject;
    Label(camera, label);
    return subject;
}

// Rows right, up, forward looking along `forward` with `up` as near up.
void LookAlong(Mat4 &m, const Vec3 &forward, const Vec3 &up) {
    const Vec3 f = Unit(forward);
    const Vec3 r = Unit(Cross(up, f));
    SetRow(m, 0, r);
    SetRow(m, 1, Cross(f, r));
    SetRow(m, 2, f);
}

void ModelUpdate(SceneItem *camera) {
    if (camera->avatar && camera->avatar->modelUpdate) camera->avatar->modelUpdate(camera);
}

}  // namespace

void CameraIdle(SceneItem *) {}

void CameraTrack(SceneItem *camera) {
    SceneItem *subject = Begin(camera, 0, true);
    if (!subject) return;
    const Vec3 d = Sub(Position(subject), Position(camera));
    if (Length(d) <= 0.0f) return;
    const Vec3 f = Unit(d);
    Vec3 r = Cross(f, Vec3{0, -1, 0});
    // Straight above or below the subject the vertical gives no side axis.
    if (Length(r) < 1e-4f) r = Cross(f, Vec3{0, 0, 1});
    r = Unit(r);
    SetRow(camera->sim->matrix, 0, r);
    SetRow(camera->sim->matrix, 1, Cross(f, r));
    SetRow(camera->sim->matrix, 2, f);
}

void CameraDriftTrack(SceneItem *camera) {
    if (!Usable(camera)) return;
    const Vec3 v = Scale(camera->sim->velocity, dunFrameSeconds);
    SetPosition(camera, Add(Position(camera), v));
    CameraTrack(camera);
}

void CameraChase(SceneItem *camera) {
    SceneItem *subject = Begin(camera, 1, false);
    if (!subject) return;
    const float radius = subject->sim->radius;
    float d = std::trunc(2.0f * radius);
    if (gCinematicView) d = std::trunc(d * gCinematicDistance);
    if (camera->avatar && d < float(camera->avatar->cameraMinDistance)) d = float(camera->avatar->cameraMinDistance);
    const float rate = camera->avatar ? float(camera->avatar->lifetimeCounter) : 0.0f;
    const float k = std::fmin(1.0f, rate / 1000.0f * dunFrameSeconds);
    const Mat4 &sm = subject->sim->matrix;
    Vec3 forward = Row(sm, 2);
    if (gLooking) MatTransformPointTransposed(forward, forward, gLookMatrix);
    Vec3 &o = camera->sim->tumble;
    o = Add(Scale(o, 1.0f - k), Scale(forward, -d * k));
    Vec3 place = o;
    if (!gLooking) {
        // The camera never swings ahead of its subject: a forward part is
        // flattened onto the subject's side plane.
        Vec3 local;
        MatTransformPoint(local, place, sm);
        if (local.z > 0.0f) local.z = 0.0f;
        MatRotateVector(sm, local, place);
    }
    const Vec3 at = Position(subject);
    SetPosition(camera, Add(at, Scale(Unit(place), d)));
    const Vec3 look = Sub(Scale(Row(sm, 2), gLooking ? 0.0f : 1.05f * radius), o);
    LookAlong(camera->sim->matrix, look, Row(sm, 1));
    ModelUpdate(camera);
}

void CameraPlayer(SceneItem *camera) {
    SceneItem *subject = Begin(camera, 2, false);
    if (!subject) return;
    Mat4 m = subject->sim->matrix;
    MatPostMultiply(m, gLookMatrix);
    for (int i = 12; i < 15; ++i) m.m[i] = subject->sim->matrix.m[i];
    // The eye sits at the collision model's eye distance, or at the radius
    // of a subject without one.
    const TDP *root = subject->avatar ? subject->avatar->root : nullptr;
    const float eye = root && root->collision ? root->collision->eyeDistance : subject->sim->radius;
    Vec3 offset{0, 0, eye};
    if (subject->sim->shipInfo && subject->sim->shipInfo->typeCode == 7) offset = {-eye, 0, 0};
    if (offset.z > 1100.0f) offset.z -= 1100.0f;
    if (-offset.x > 1100.0f) offset.x += 1100.0f;
    Vec3 world;
    MatRotateVector(subject->sim->matrix, offset, world);
    camera->sim->matrix = m;
    SetPosition(camera, Add(Position(subject), world));
    if (gShakeCount > 0) {
        gShakeCount = int16_t(gShakeCount - dunFrameStep);
        const float s = gShakeLength ? float(gShakeCount) / float(gShakeLength) : 0.0f;
        MatRotateY(float(dunRand15() % 10 - 5) * s, camera->sim->matrix);
        MatRotateX(float(dunRand15() % 10 - 5) * s, camera->sim->matrix);
        MatRotateZ(float(dunRand15() % 10 - 5) * s, camera->sim->matrix);
    }
    ModelUpdate(camera);
}

// Places a camera looking from eye to target; false with nothing to look at.
static bool LookFromTo(SceneItem *camera, SceneItem *eye, SceneItem *target, bool shoulder, bool clampTo075) {
    const Vec3 pe = Position(eye), pt = Position(target);
    const Vec3 dv = Sub(pt, pe);
    const float L = Length(dv);
    // An eye at its target has no direction: the camera stays as it was.
    if (L <= 0.0f) return false;
    SetPosition(camera, pe);
    const Vec3 f = Scale(dv, 1.0f / L);
    Vec3 r = Cross(f, Scale(Row(eye->sim->matrix, 1), -1.0f)), u;
    if (Length(r) <= 0.1f) {
        const Vec3 side = Scale(Row(eye->sim->matrix, 0), -1.0f);
        u = Unit(Cross(f, side));
        r = Cross(f, u);
    } else {
        r = Unit(r);
        u = Cross(f, r);
    }
    Mat4 &m = camera->sim->matrix;
    SetRow(m, 0, r);
    SetRow(m, 1, u);
    SetRow(m, 2, f);
    if (!shoulder) {
        float k = std::fmax(2.5f * target->sim->radius, 3000.0f);
        if (clampTo075 && 0.75f * L < k) k = 0.75f * L;
        SetPosition(camera, Sub(pt, Scale(f, k)));
    } else {
        const float radius = std::fmax(eye->sim->radius, 2000.0f);
        const float k = 2.0f * radius + L;
        Vec3 p = Add(Sub(pt, Scale(f, k)), Scale(r, radius / 4.0f));
        Vec3 local;
        MatTransformPoint(local, dv, eye->sim->matrix);
        const bool below = radius > 2000.0f && local.y < 0.0f;
        p = below ? Sub(p, Scale(u, radius / 2.0f)) : Add(p, Scale(u, radius / 2.0f));
        SetPosition(camera, p);
    }
    return true;
}

// Eye and target of the look-at cameras: the player's ship and the
// camera's target, or in a cinematic with a second object the event's pair.
static bool EyeAndTarget(SceneItem *camera, SceneItem **eye, SceneItem **target) {
    *eye = dunPlayerShip;
    *target = Target(camera);
    const bool cinematic = gCinematicView && gCinematicSecond;
    if (cinematic) {
        *eye = gCinematicSubject;
        *target = gCinematicSecond;
    }
    return cinematic;
}

void CameraLookAtObject(SceneItem *camera) {
    if (!Usable(camera)) return;
    SceneItem *eye, *target;
    const bool cinematic = EyeAndTarget(camera, &eye, &target);
    if (!Usable(target)) return;
    if (!Usable(eye) || eye == target) eye = camera;
    const bool smooth = dunPlayerCamera && dunPlayerCamera->control == CameraExternalSmooth;
    const bool shoulder = (cinematic && camera == dunPlayerCamera) || smooth;
    const bool docked = camera->sim->host == eye;
    LookFromTo(camera, eye, target, shoulder, docked);
    ModelUpdate(camera);
}

// The view-window camera: the target at most three quarters of the way.
void CameraViewWindow(SceneItem *camera) {
    if (!Usable(camera)) return;
    SceneItem *eye, *target;
    const bool cinematic = EyeAndTarget(camera, &eye, &target);
    if (!Usable(target) || !Usable(eye)) return;
    if (LookFromTo(camera, eye, target, cinematic, true) && camera->avatar)
        camera->avatar->matrix = camera->sim->matrix;
}

void CameraContact(SceneItem *camera) {
    if (!Usable(camera)) return;
    SceneItem *subject = gContactSubject;
    if (gCinematicView && camera == dunPlayerCamera) subject = gCinematicSubject;
    if (!Usable(subject)) {
        CameraChase(camera);
        return;
    }
    P3DViewedObject = subject;
    if (camera->avatar) camera->avatar->subject = subject;
    Label(camera, 3);
    CameraLookAtObject(camera);
}

void CameraTargetFromShip(SceneItem *camera) {
    if (!Usable(camera)) return;
    SceneItem *subject = Subject(camera, false);
    if (!subject || !subject->avatar || !subject->avatar->dockPort) {
        CameraChase(camera);
        return;
    }
    P3DViewedObject = subject;
    Label(camera, 5);
    camera->sim->matrix = subject->sim->matrix;
    MatRotateY(subject->avatar->dockPort->angleY, camera->sim->matrix);
    MatRotateX(subject->avatar->dockPort->angleX, camera->sim->matrix);
    camera->sim->position = subject->sim->position;
    ModelUpdate(camera);
}

// The first guided missile the player's ship has in flight, or null.
static SceneItem *PlayerMissile() {
    if (!dunPlayerShip) return nullptr;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *item = head->next; item && item != head; item = item->next) {
        const Avatar *a = item->avatar;
        if (!a || !Usable(item) || !(a->flags & AvatarFlag::MunitionRound) || a->objectA != dunPlayerShip) continue;
        if (a->roundWeapon && (a->roundWeapon->flags & WeaponFlag::Missile)) return item;
    }
    return nullptr;
}

// The missile view: from the missile's paired object (its goal) over the
// missile; without a missile in flight the camera chases the player's ship.
void CameraExternalSmooth(SceneItem *camera) {
    if (!Usable(camera)) return;
    SceneItem *missile = PlayerMissile();
    SceneItem *paired = missile && missile->avatar ? missile->avatar->sidePartner : nullptr;
    if (!missile || !Usable(paired)) {
        CameraChase(camera);
        P3DViewedObject = nullptr;
        return;
    }
    P3DViewedObject = missile;
    if (camera->avatar) camera->avatar->subject = missile;
    LookFromTo(camera, paired == missile ? camera : paired, missile, true, false);
    ModelUpdate(camera);
}

uint8_t gWeaponCameraTargetView;
uint8_t gWeaponForwardTracking = 1;
uint8_t gWeaponViewFlag;
ArcOutline gWeaponMount;
LookKey gLookKeys[kLastLookCommand - kFirstLookCommand + 1];
float gWeaponMountYaw, gWeaponMountPitch;
Mat4 gWeaponMountMatrix = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

namespace {
// The object whose first mount the mount view placed last.
SceneItem *gMountShip;
constexpr uint8_t kMountHoldKey = 0x81;

// The fire angle of a mount code: 85 and 275 for the side mounts.
float MountBaseAngle(uint16_t code) {
    static const float kAngles[9] = {0, 0, 45, 85, 135, 180, 225, 275, 315};
    const int c = code & 0xF;
    return c < 9 ? kAngles[c] : 0.0f;
}

void MountView(SceneItem *camera, SceneItem *ship) {
    Sim *sim = ship->sim;
    if (ship != gMountShip) {
        gMountShip = ship;
        if (sim->weapons) dunCall(P3DAi().placeMount, &gWeaponMount, sim->weapons->mountCode);
    }
    const Weapon *w = sim->currentWeapon ? sim->currentWeapon : sim->weapons;
    if (gWeaponViewFlag == 1 && !KeyDownTable[kMountHoldKey]) {
        gWeaponMountYaw += (-dunStickX - gWeaponMountYaw) * dunFrameSeconds;
        gWeaponMountPitch += (dunStickY - gWeaponMountPitch) * dunFrameSeconds;
    }
    const float *limit = gWeaponMount.angles;
    gWeaponMountYaw = std::fmax(limit[0], std::fmin(limit[1], gWeaponMountYaw));
    gWeaponMountPitch = std::fmax(limit[2], std::fmin(limit[3], gWeaponMountPitch));
    Mat4 m = sim->matrix;
    MatRotateY(MountBaseAngle(w ? w->mountCode : 0), m);
    MatRotateY(gWeaponMountYaw, m);
    MatRotateX(gWeaponMountPitch, m);
    Vec3 offset{}, world;
    if (w) offset = w->mount;
    MatRotateVector(sim->matrix, offset, world);
    camera->sim->matrix = m;
    SetPosition(camera, Add(Position(ship), world));
    gWeaponMountMatrix = camera->sim->matrix;
}

void TargetView(SceneItem *camera, SceneItem *ship) {
    SceneItem *target = ship->sim->goal;
    if (!Usable(target)) target = dunCall(P3DAi().currentContactObject);
    if (Usable(target)) {
        // The mount facing the target becomes the current weapon.
        Vec3 local;
        MatTransformPoint(local, Sub(Position(target), Position(ship)), ship->sim->matrix);
        if (Weapon *w = dunCall(P3DAi().chooseMount, local.x, local.y, local.z, ship->sim->weapons))
            ship->sim->currentWeapon = w;
    }
    if (!Usable(target) || !gWeaponForwardTracking) {
        camera->sim->matrix = ship->sim->matrix;
        const Vec3 ahead = Scale(Row(ship->sim->matrix, 2), 1.2f * ship->sim->radius);
        SetPosition(camera, Add(Position(ship), ahead));
        return;
    }
    Vec3 &aim = camera->sim->drive;
    aim = Add(Scale(Position(target), 0.15f), Scale(aim, 0.85f));
    const Vec3 f = Unit(Sub(aim, Position(ship)));
    const Vec3 up = Row(ship->sim->matrix, 1);
    const Vec3 r = Unit(Cross(f, Scale(up, -1.0f)));
    SetRow(camera->sim->matrix, 0, r);
    SetRow(camera->sim->matrix, 1, Cross(f, r));
    SetRow(camera->sim->matrix, 2, f);
    const float radius = ship->sim->radius;
    SetPosition(camera, Sub(Sub(Position(ship), Scale(up, 0.2f * radius)), Scale(f, 1.9f * radius)));
}
}  // namespace

// The weapon camera: the view from the current mount, or over the ship
// towards its target.
void CameraWeapon(SceneItem *camera) {
    if (!Usable(camera)) return;
    SceneItem *ship = dunControlledObject ? dunControlledObject : dunPlayerShip;
    if (!Usable(ship)) return;
    Label(camera, 6);
    if (gWeaponCameraTargetView) TargetView(camera, ship);
    else MountView(camera, ship);
    ModelUpdate(camera);
}

// ---- The event camera ------------------------------------------------------------------------

void EventCameraTrigger(SceneItem *object, SceneItem *second, int row) {
    if (row < 0 || row >= kCameraEventRows || !gCameraEventEnable[row]) return;
    const CameraEventRow &r = gCameraEvents[row];
    if (!gCinematicView) {
        if (!gCameraEventsOn || object != dunPlayerShip || r.mode == 0) return;
        if (gCameraViewHooks.enterCinematic) gCameraViewHooks.enterCinematic();
        gCinematicView = 1;
        gCinematicHold = 0;
        gLastCut = int32_t(dunGameClock) - kMinimumCutInterval - 1;
    }
    const CameraEventRow &current = gCameraEvents[gEventRow];
    if (!((gCinematicHold < 1 || gCinematicSubject != dunPlayerShip || current.mode != 2) && !gCameraLock)) return;
    gCinematicHold = int16_t(r.hold);
    const bool cut = row == kScriptCameraRow || r.priority > current.priority ||
                     int32_t(dunGameClock) - gLastCut >= kMinimumCutInterval;
    if (!cut) return;
    gEventRow = row;
    gLastCut = int32_t(dunGameClock);
    gCinematicSubject = object;
    gCinematicSecond = second;
    ControlRoutine routine = r.routine;
    if (r.alternative && dunRand15() % 100 > 50) routine = r.alternative;
    if (dunPlayerCamera) dunPlayerCamera->control = routine;
    gCinematicDistance = float(dunRand15()) / 32768.0f + 1.0f;
    if (gCameraViewHooks.dropCamera) gCameraViewHooks.dropCamera();
    gLooking = 1;
    MatIdentity(gLookMatrix);
    MatRotateY(float(dunRand15() % 360), gLookMatrix);
    MatRotateX(float(dunRand15() % 180 - 90), gLookMatrix);
    if (routine == CameraDriftTrack && dunPlayerCamera && dunPlayerCamera->sim && Usable(object))
        dunPlayerCamera->sim->velocity = object->sim->velocity;
    gCameraCut[0] = gCameraCut[1] = 1;
    if (gCameraViewHooks.redraw) gCameraViewHooks.redraw();
}

// In the contact table of the player's sensors.
static bool ListedContact(const SceneItem *item) { return dunCall(P3DAi().isContact, item); }

void ActionCameraUpdate() {
    if (!gCameraViewHooks.onStation || !gCameraViewHooks.onStation()) return;
    const bool director = optDirector;
    if (director && !gCinematicView) {
        if (gSequenceLock || gCameraLock) return;
        if (gCameraViewHooks.enterCinematic) gCameraViewHooks.enterCinematic();
        gCinematicView = 1;
    }
    if (gCinematicView && gCinematicHold > 0) {
        const CameraEventRow &current = gCameraEvents[gEventRow];
        if (current.mode == 2 && !director && dunPlayerShip && dunPlayerShip->sim &&
            (dunPlayerShip->sim->flags & SimFlag::Autopilot)) {
            gCinematicHold = int16_t(gCinematicHold - dunFrameStep);
            if (gCinematicHold <= 0) {
                gCinematicHold = int16_t(current.hold);
                if (gCameraViewHooks.dropCamera) gCameraViewHooks.dropCamera();
            }
        } else if (!gSequenceLock) {
            gCinematicHold = int16_t(gCinematicHold - dunFrameStep);
            if (gCinematicHold <= 0) {
                if (!director) {
                    if (gCameraViewHooks.endCinematic) gCameraViewHooks.endCinematic();
                    gCinematicView = 0;
                    gCinematicHold = 0;
                } else {
                    gCinematicHold = int16_t(current.hold);
                    if (gCameraViewHooks.dropCamera) gCameraViewHooks.dropCamera();
                }
            }
        }
    }
    const bool search = (gCinematicSubject != dunPlayerShip || director || gCameraEvents[gEventRow].mode != 2) &&
                        !gCameraLock && gCinematicView &&
                        (gCinematicHold == 0 || int32_t(dunGameClock) - gLastCut > gActionInterval);
    if (!search || !dunPlayerShip) return;
    // Once round the list from the current subject: the busiest ship of the
    // player's system among the contacts wins, the first of equals.
    SceneItem *head = dunSceneListHead();
    int count = 0;
    for (SceneItem *item = head->next; item && item != head; item = item->next) ++count;
    SceneItem *item = gCinematicSubject && dunIsInSceneList(gCinematicSubject) ? gCinematicSubject : head->next;
    SceneItem *best = nullptr;
    float bestScore = 0.0f;
    for (int i = 0; i < count && item; ++i, item = item->next) {
        if (item == head) item = head->next;
        if (!item->sim || !item->sim->shipInfo || !item->avatar) continue;
        if (item->systemNumber != dunPlayerShip->systemNumber) continue;
        if (item->avatar->flags & 0x30) continue;
        if (!ListedContact(item)) continue;
        const SceneItem *s = item;
        const float score = 1.0f + std::fabs(s->turnDemand[0]) + std::fabs(s->turnDemand[1]) +
                            std::fabs(s->turnDemand[2]) + std::fabs(s->turnRemaining[0]) +
                            std::fabs(s->turnRemaining[1]) + std::fabs(s->turnRemaining[2]);
        if (score > bestScore) {
            best = item;
            bestScore = score;
        }
    }
    if (!best) return;
    EventCameraTrigger(best, nullptr, 5);
    if (dunPlayerCamera) dunPlayerCamera->control = dunRand15() % 100 > 50 ? CameraTrack : CameraChase;
    gEventRow = 7;
    const int r = dunRand15() % 250;
    gActionInterval = 400 + r;
    if (gCinematicHold < 500 + r) gCinematicHold = int16_t(500 + r);
}

// ---- Look-around and the pilot's demands --------------------------------------------------

namespace {
int16_t gHatHistory = -1;
constexpr uint8_t kUp = 0x48, kDown = 0x50, kLeft = 0x4B, kRight = 0x4D, kEnd = 0x4F, kPageDown = 0x51, kPad5 = 0x4C,
                  kCtrl = 0x1D, kLeftShift = 0x2A;
// Joystick buttons 3 and 4 in the key-state table: roll (yaw with the swap
// flag) like the keys.
constexpr uint8_t kRollButtonNegative = 0x82, kRollButtonPositive = 0x83;
constexpr float kPowerStep = 0.13f;

bool Held(uint8_t scan) { return KeyDownTable[scan] != 0; }

// One demand from its two keys: a key against the demand's sign resets it
// first.
void Steer(float &demand, bool negative, bool positive, float step) {
    if (negative) {
        if (demand > 0.0f) demand = 0.0f;
        else demand -= step;
    } else if (positive) {
        if (demand < 0.0f) demand = 0.0f;
        else demand += step;
    }
}

int HatBits(int16_t hat) {
    static const int16_t kAngles[8] = {0, 4500, 9000, 13500, 18000, 22500, 27000, 31500};
    static const int kBits[8] = {1, 3, 2, 6, 4, 12, 8, 9};
    for (int i = 0; i < 8; ++i)
        if (hat == kAngles[i]) return kBits[i];
    return 0;
}

// The look keys of the bindings (forward, left, right, back, up, down): a
// key counts while it is down with the left Shift state it was bound with.
int LookKeyBits() {
    static const int kBits[6] = {1, 8, 2, 4, 0x10, 0x20};
    int bits = 0;
    for (int i = 0; i < 6; ++i) {
        const LookKey &k = gLookKeys[i];
        if (k.scan && k.scan < 256 && Held(uint8_t(k.scan)) && int8_t(KeyDownTable[kLeftShift]) == k.shift)
            bits |= kBits[i];
    }
    return bits;
}

// Ctrl with Up, Left or Right moves power towards the first, second or
// third share of the player's ship.
void ShiftPower(bool up, bool left, bool right) {
    float *s = dunCall(P3DAi().powerShares);
    auto shift = P3DAi().shiftPowerShare;
    if (!s || !shift) return;
    if (up) shift(kPowerStep, &s[0], &s[1], &s[2]);
    if (left) shift(kPowerStep, &s[1], &s[0], &s[2]);
    if (right) shift(kPowerStep, &s[2], &s[0], &s[1]);
}
}  // namespace

void LookReset() {
    gLooking = 0;
    gLookYaw = gLookPitch = 0.0f;
    MatIdentity(gLookMatrix);
}

// The throttle's resting place is not taken for a change at the start.
void LookInit() {
    if (const int16_t *axes = JoystickPoll()) dunJoyThrottleLast = axes[JOY_THROTTLE];
    gHatHistory = -1;
    LookReset();
    gShakeCount = 0;
}

void LookUpdate() {
    if (!dunPlayerShip || !dunPlayerShip->sim) return;
    Sim *sim = dunPlayerShip->sim;
    if (sim->flags & SimFlag::AiHold) {
        if (dunFrameStep > 0 && dunRand15() % 154 < dunFrameStep) sim->flags &= ~SimFlag::AiHold;
        return;
    }
    const int16_t *axes = JoystickPoll();
    const bool keyboardFlight = NoJoystick != 0;
    const float rate = (keyboardFlight ? 975.0f : 650.0f) * dunFrameSeconds;
    int bits = 0;
    const int16_t hat = axes ? axes[JOY_POV] : -1;
    if (hat == gHatHistory) bits = HatBits(hat);
    gHatHistory = hat;
    bits |= LookKeyBits();
    const bool full = gCameraViewHooks.fullScreen && gCameraViewHooks.fullScreen();
    dunHatBits = uint8_t(bits);
    // Hat mode 0 looks round, 1 gives the cockpit's contact commands, 2
    // leaves the code to the flight's hat thrusters.
    if (JoyHatMode == 0) {
        if (bits) {
            gLooking = 1;
            if (full) {
                MatIdentity(gLookMatrix);
                if (bits & 2) MatRotateY(90, gLookMatrix);
                else if (bits & 8) MatRotateY(-90, gLookMatrix);
                else if (bits & 4) MatRotateY(180, gLookMatrix);
                if (bits & 0x10) MatRotateX(90, gLookMatrix);
                else if (bits & 0x20) MatRotateX(-90, gLookMatrix);
            }
        }
    } else if (JoyHatMode == 1) {
        dunCall(P3DGui().hatAction);
    }
    const bool pad5 = Held(kPad5);
    float &yaw = dunStickX, &pitch = dunStickY, &roll = dunTwist;
    if (!full || !pad5) {
        if (pad5) {
            yaw *= 0.1f;
            pitch *= 0.1f;
            roll *= 0.1f;
        }
        const bool up = Held(kUp), down = Held(kDown), left = Held(kLeft), right = Held(kRight), end = Held(kEnd),
                   pgdn = Held(kPageDown);
        if (!Held(kCtrl)) {
            Steer(pitch, up, down, rate);
            if (!dunAxisSwap) {
                Steer(yaw, right, left, rate);
                Steer(roll, end, pgdn, rate);
            } else {
                Steer(yaw, pgdn, end, rate);
                Steer(roll, left, right, rate);
            }
        } else if (!dunRemoteLinked) {
            ShiftPower(up, left, right);
        }
        if (keyboardFlight) {
            if (!up && !down) pitch *= 0.2f;
            if (!(dunAxisSwap ? end || pgdn : left || right)) yaw *= 0.2f;
            if (!(dunAxisSwap ? left || right : end || pgdn)) roll *= 0.2f;
        }
        yaw = std::fmax(-180.0f, std::fmin(180.0f, yaw));
        pitch = std::fmax(-180.0f, std::fmin(180.0f, pitch));
        roll = std::fmax(-180.0f, std::fmin(180.0f, roll));
        if (keyboardFlight && dunAxisSwap) {
            const float t = yaw;
            yaw = -roll;
            roll = -t;
        }
        if (!keyboardFlight && axes) {
            const bool yawKeys = dunAxisSwap ? end || pgdn : left || right;
            const bool rollKeys = dunAxisSwap ? left || right : end || pgdn;
            if (!yawKeys) yaw = dunAxisSwap ? -axes[JOY_RUDDER] / 2.0f : -axes[JOY_X] / 2.0f;
            if (!up && !down) pitch = axes[JOY_Y] / 2.0f;
            if (!rollKeys) roll = dunAxisSwap ? axes[JOY_X] / 2.0f : axes[JOY_RUDDER] / 2.0f;
            Steer(dunAxisSwap ? yaw : roll, Held(kRollButtonNegative), Held(kRollButtonPositive), rate);
        }
        if (gLookDamping) {
            yaw /= 4;
            pitch /= 4;
            roll /= 4;
            gLookDamping = 0;
        }
    } else if (axes) {
        gLooking = 1;
        MatRotateY(axes[JOY_X] / 4.0f * dunFrameSeconds, gLookMatrix);
        MatRotateX(axes[JOY_Y] / 4.0f * dunFrameSeconds, gLookMatrix);
    }
}

void P3DResetCameraWords() {
    P3DViewedObject = nullptr;
    gCinematicSubject = gCinematicSecond = nullptr;
    gContactSubject = nullptr;
    gEventRow = 0;
    gLastCut = 0;
    gCameraLock = gSequenceLock = 0;
    gCinematicDistance = 1.0f;
    for (uint8_t &on : gCameraEventEnable) on = 1;
}

// ---- The view state the world and the GUI set ----------------------------------------------

// A screen switch puts the look-around back at rest.
void P3DResetViewCamera() { LookReset(); }

void P3DSetViewShake(int32_t centiseconds, int32_t) {
    gShakeCount = gShakeLength = int16_t(centiseconds < 0 ? 0 : centiseconds > 32767 ? 32767 : centiseconds);
}

// The cockpit camera looks at the object (a turret under remote control, or
// the player's ship again), which becomes the viewed object.
void P3DSetCameraSubject(SceneItem *item) {
    if (dunPlayerCamera && dunPlayerCamera->avatar) dunPlayerCamera->avatar->subject = item;
    P3DViewedObject = item;
}

// A split ship: the player camera (and with it every 3D pane) follows the
// first object, the view-window camera the second.
void P3DFollowCameras(SceneItem *player, SceneItem *other) {
    P3DSetCameraSubject(player);
    if (dunPlayerCamera && dunPlayerCamera->avatar) dunPlayerCamera->avatar->cameraTarget = player;
    if (other && dunViewCamera && dunViewCamera->avatar) {
        dunViewCamera->avatar->cameraTarget = other;
        dunViewCamera->avatar->subject = other;
    }
}
