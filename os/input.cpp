#include "os/input.h"

#include <SDL2/SDL.h>

#include <algorithm>

// ---- joystick ----------------------------------------------------------------

namespace {

SDL_Joystick *gJoystick;

bool InitJoystickSubsystem() {
    return SDL_WasInit(SDL_INIT_JOYSTICK) || SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

uint32_t HatHundredths(Uint8 hat) {
    switch (hat) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return kOsPovCentred;
    }
}

}  // namespace

int osJoystickCount() {
    if (!InitJoystickSubsystem()) return 0;
    return std::max(0, SDL_NumJoysticks());
}

bool osJoystickOpen(OsJoystickCaps *caps) {
    osJoystickClose();
    if (osJoystickCount() < 1) return false;
    gJoystick = SDL_JoystickOpen(0);
    if (!gJoystick) return false;
    // SDL's axes run -32768..32767; shifted onto 0..65535 they keep the scale
    // the centre, divisor and dead-zone arithmetic was made for.
    OsJoystickCaps c{};
    int axes = SDL_JoystickNumAxes(gJoystick);
    if (axes >= 3) c.caps |= OS_JOYCAPS_HASZ;
    if (axes >= 4) c.caps |= OS_JOYCAPS_HASR;
    if (axes >= 5) c.caps |= OS_JOYCAPS_HASU;
    if (axes >= 6) c.caps |= OS_JOYCAPS_HASV;
    if (SDL_JoystickNumHats(gJoystick) > 0) c.caps |= OS_JOYCAPS_HASPOV | OS_JOYCAPS_POV4DIR | OS_JOYCAPS_POVCTS;
    for (int i = 0; i < 6; ++i) {
        c.min[i] = 0;
        c.max[i] = 65535;
    }
    if (caps) *caps = c;
    return true;
}

bool osJoystickRead(OsJoystickState *state) {
    if (!gJoystick) return false;
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(gJoystick)) return false;
    OsJoystickState s{};
    int axes = SDL_JoystickNumAxes(gJoystick);
    // An axis the stick lacks reads 0, as the multimedia service reports it.
    for (int i = 0; i < 6; ++i) s.axis[i] = i < axes ? SDL_JoystickGetAxis(gJoystick, i) + 32768 : 0;
    s.pov = SDL_JoystickNumHats(gJoystick) > 0 ? HatHundredths(SDL_JoystickGetHat(gJoystick, 0)) : kOsPovCentred;
    int buttons = std::min(32, SDL_JoystickNumButtons(gJoystick));
    for (int i = 0; i < buttons; ++i)
        if (SDL_JoystickGetButton(gJoystick, i)) s.buttons |= 1u << i;
    if (state) *state = s;
    return true;
}

namespace {
int gVirtualIndex = -1;
SDL_Joystick *gVirtual;
}  // namespace

bool osVirtualJoystickAttach() {
    if (gVirtual) return true;
    // The off-screen window never has the focus; without this SDL drops the
    // stick's input.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (!InitJoystickSubsystem()) return false;
    gVirtualIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 4, 8, 1);
    if (gVirtualIndex < 0) return false;
    gVirtual = SDL_JoystickOpen(gVirtualIndex);
    return gVirtual != nullptr;
}

void osVirtualJoystickSet(const int32_t axes[4], uint32_t buttons, uint8_t hat) {
    if (!gVirtual) return;
    for (int i = 0; i < 4; ++i) SDL_JoystickSetVirtualAxis(gVirtual, i, Sint16(std::clamp(axes[i], -32768, 32767)));
    for (int i = 0; i < 8; ++i) SDL_JoystickSetVirtualButton(gVirtual, i, (buttons >> i) & 1);
    SDL_JoystickSetVirtualHat(gVirtual, 0, hat);
}

void osVirtualJoystickDetach() {
    if (gVirtual) SDL_JoystickClose(gVirtual);
    if (gVirtualIndex >= 0) SDL_JoystickDetachVirtual(gVirtualIndex);
    gVirtual = nullptr;
    gVirtualIndex = -1;
}

void osJoystickClose() {
    if (gJoystick) SDL_JoystickClose(gJoystick);
    gJoystick = nullptr;
}

// ---- force feedback on SDL haptics ---------------------------------------------------

namespace {

SDL_Haptic *gHaptic;
SDL_Joystick *gHapticJoystick;

// The game's levels run to 10000, SDL's to 32767.
Sint16 Level(int32_t v) {
    int64_t s = static_cast<int64_t>(v) * 32767 / 10000;
    return static_cast<Sint16>(std::clamp<int64_t>(s, -32767, 32767));
}
Uint16 UnsignedLevel(int32_t v) { return static_cast<Uint16>(std::clamp<int32_t>(Level(v), 0, 32767)); }
// A saturation of 0 leaves the force unlimited, as the drivers the game was
// made for treated it.
Uint16 Saturation(uint32_t v) {
    if (v == 0 || v >= 10000) return 0xFFFF;
    return static_cast<Uint16>(static_cast<uint64_t>(v) * 0xFFFF / 10000);
}
Uint32 LengthMs(int32_t us) { return us < 0 ? SDL_HAPTIC_INFINITY : static_cast<Uint32>(us / 1000); }
Uint16 ShortMs(int32_t us) { return static_cast<Uint16>(std::clamp<int32_t>(us / 1000, 0, 0x7FFF)); }

bool ToSdl(const OsEffect &e, SDL_HapticEffect &out) {
    out = SDL_HapticEffect{};
    Uint16 button = e.triggerButton < 0 ? 0 : static_cast<Uint16>(e.triggerButton + 1);
    if (e.kind == OS_EFFECT_CONSTANT) {
        SDL_HapticConstant &c = out.constant;
        c.type = SDL_HAPTIC_CONSTANT;
        c.direction.type = SDL_HAPTIC_POLAR;  // hundredths of a degree, 0 forward, clockwise
        c.direction.dir[0] = e.direction;
        c.length = LengthMs(e.duration);
        c.button = button;
        c.level = Level(e.magnitude);
        if (e.hasEnvelope) {
            c.attack_level = UnsignedLevel(e.attackLevel);
            c.attack_length = ShortMs(e.attackTime);
            c.fade_level = UnsignedLevel(e.fadeLevel);
            c.fade_length = ShortMs(e.fadeTime);
        }
        return true;
    }
    Uint16 type = 0;
    switch (e.kind) {
        case OS_EFFECT_SPRING: type = SDL_HAPTIC_SPRING; break;
        case OS_EFFECT_INERTIA: type = SDL_HAPTIC_INERTIA; break;
        case OS_EFFECT_DAMPER: type = SDL_HAPTIC_DAMPER; break;
        case OS_EFFECT_FRICTION: type = SDL_HAPTIC_FRICTION; break;
        default: return false;
    }
    SDL_HapticCondition &c = out.condition;
    c.type = type;
    c.direction.type = SDL_HAPTIC_POLAR;
    c.direction.dir[0] = e.direction;
    c.length = LengthMs(e.duration);
    c.button = button;
    for (int axis = 0; axis < 2; ++axis) {
        if (!(axis == 0 ? e.axisX : e.axisY)) continue;
        const OsCondition &k = e.condition[axis];
        c.right_coeff[axis] = Level(k.positiveCoefficient);
        c.left_coeff[axis] = Level(k.negativeCoefficient);
        c.right_sat[axis] = Saturation(k.positiveSaturation);
        c.left_sat[axis] = Saturation(k.negativeSaturation);
        c.deadband[axis] = UnsignedLevel(k.deadBand);
        c.center[axis] = Level(k.offset);
    }
    return true;
}

bool SdlOpen() {
    if (!InitJoystickSubsystem()) return false;
    if (!SDL_WasInit(SDL_INIT_HAPTIC) && SDL_InitSubSystem(SDL_INIT_HAPTIC) != 0) return false;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        SDL_Joystick *j = SDL_JoystickOpen(i);
        if (!j) continue;
        if (SDL_JoystickIsHaptic(j) == 1) {
            gHaptic = SDL_HapticOpenFromJoystick(j);
            if (gHaptic) {
                gHapticJoystick = j;
                if (SDL_HapticQuery(gHaptic) & SDL_HAPTIC_AUTOCENTER) SDL_HapticSetAutocenter(gHaptic, 0);
                return true;
            }
        }
        SDL_JoystickClose(j);
    }
    return false;
}

void SdlClose() {
    if (gHaptic) SDL_HapticClose(gHaptic);
    if (gHapticJoystick) SDL_JoystickClose(gHapticJoystick);
    gHaptic = nullptr;
    gHapticJoystick = nullptr;
}

bool SdlAcquire() { return gHaptic != nullptr; }
void SdlUnacquire() {
    if (gHaptic) SDL_HapticStopAll(gHaptic);
}

int SdlCreate(const OsEffect &e) {
    SDL_HapticEffect s;
    if (!gHaptic || !ToSdl(e, s)) return -1;
    return SDL_HapticNewEffect(gHaptic, &s);
}

bool SdlUpdate(int handle, const OsEffect &e) {
    SDL_HapticEffect s;
    if (!gHaptic || handle < 0 || !ToSdl(e, s)) return false;
    return SDL_HapticUpdateEffect(gHaptic, handle, &s) == 0;
}

bool SdlStart(int handle) { return gHaptic && handle >= 0 && SDL_HapticRunEffect(gHaptic, handle, 1) == 0; }

void SdlRelease(int handle) {
    if (gHaptic && handle >= 0) SDL_HapticDestroyEffect(gHaptic, handle);
}

const OsHapticBackend kSdlHaptic = {SdlOpen, SdlClose, SdlAcquire, SdlUnacquire, SdlCreate, SdlUpdate, SdlStart,
                                    SdlRelease};
const OsHapticBackend *gHapticBackend = &kSdlHaptic;

}  // namespace

void osSetHapticBackend(const OsHapticBackend *backend) { gHapticBackend = backend ? backend : &kSdlHaptic; }

const OsHapticBackend &osHaptic() { return *gHapticBackend; }

bool osWindowClientSize(void *window, int *width, int *height) {
    if (!window || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
    int w = 0, h = 0;
    SDL_GetWindowSize(static_cast<SDL_Window *>(window), &w, &h);
    if (w <= 0 || h <= 0) return false;
    *width = w;
    *height = h;
    return true;
}

// ---- relative mouse on SDL ---------------------------------------------------------------

namespace {

int gWheelNotches;
bool gWatching;

int WheelWatch(void *, SDL_Event *e) {
    if (e->type == SDL_MOUSEWHEEL)
        gWheelNotches += e->wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e->wheel.y : e->wheel.y;
    return 1;
}

bool SdlMouseStart() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_SetRelativeMouseMode(SDL_TRUE) != 0) return false;
    if (!gWatching) SDL_AddEventWatch(WheelWatch, nullptr);
    gWatching = true;
    gWheelNotches = 0;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // forget motion from before the capture
    return true;
}

void SdlMouseStop() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetRelativeMouseMode(SDL_FALSE);
    if (gWatching) SDL_DelEventWatch(WheelWatch, nullptr);
    gWatching = false;
}

bool SdlMouseReacquire() { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_SetRelativeMouseMode(SDL_TRUE) == 0; }

bool SdlMouseRead(OsRelativeMouse *state) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GetRelativeMouseMode()) return false;
    int dx = 0, dy = 0;
    Uint32 b = SDL_GetRelativeMouseState(&dx, &dy);
    OsRelativeMouse s{};
    s.dx = dx;
    s.dy = dy;
    s.dz = gWheelNotches * 120;
    gWheelNotches = 0;
    s.buttons[0] = (b & SDL_BUTTON_LMASK) ? 0x80 : 0;
    s.buttons[1] = (b & SDL_BUTTON_RMASK) ? 0x80 : 0;
    s.buttons[2] = (b & SDL_BUTTON_MMASK) ? 0x80 : 0;
    s.buttons[3] = (b & SDL_BUTTON_X1MASK) ? 0x80 : 0;
    if (state) *state = s;
    return true;
}

const OsRelativeMouseBackend kSdlMouse = {SdlMouseStart, SdlMouseStop, SdlMouseReacquire, SdlMouseRead};
const OsRelativeMouseBackend *gMouseBackend = &kSdlMouse;

}  // namespace

void osSetRelativeMouseBackend(const OsRelativeMouseBackend *backend) {
    gMouseBackend = backend ? backend : &kSdlMouse;
}

const OsRelativeMouseBackend &osRelativeMouse() { return *gMouseBackend; }
