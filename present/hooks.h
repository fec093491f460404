// What the presentation asks of the floors above it: the AI (the weapon
// mounts, the contact table and the power shares the look keys move), the
// HUD (its drawing over the view) and the GUI (the cockpit's hat commands
// and its view windows). Each installs its table in game initialisation;
// without one (tests) a call does nothing and a query answers 0 or none.
#pragma once

#include <cstdint>

struct ArcOutline;
struct SceneItem;
struct Weapon;
struct vt_pixelmap;

struct PresentAiHooks {
    // The firing arc of a mount code; and the weapon of the list whose
    // mount faces the direction (ship's frame) best, or null.
    void (*placeMount)(ArcOutline *outline, uint16_t mountCode);
    Weapon *(*chooseMount)(float x, float y, float z, Weapon *list);
    // The object of the contact list's current entry, or null; whether the
    // object is in the contact table.
    SceneItem *(*currentContactObject)();
    bool (*isContact)(const SceneItem *item);
    // The player ship's three power shares, and a shift of power to the
    // share x from the larger of y and z.
    float *(*powerShares)();
    void (*shiftPowerShare)(float amount, float *x, float *y, float *z);
};

struct PresentHudHooks {
    // A line in a palette colour into a view's pixelmap (its origin at the
    // view's centre).
    void (*drawLineIn)(vt_pixelmap *pixelmap, int x0, int y0, int x1, int y1, int colour);
    // Every HUD element over the main view; one HUD record in its own view.
    void (*drawAll)();
    void (*drawInView)(void *hud);
};

struct PresentGuiHooks {
    // The cockpit's command of the hat while its mode (JoyHatMode) is 1.
    void (*hatAction)();
    // The view windows' images went with the 3D system.
    void (*viewImagesGone)();
};

void P3DSetAiHooks(const PresentAiHooks *hooks);
void P3DSetHudHooks(const PresentHudHooks *hooks);
void P3DSetGuiHooks(const PresentGuiHooks *hooks);

// The installed tables, or an empty one.
const PresentAiHooks &P3DAi();
const PresentHudHooks &P3DHud();
const PresentGuiHooks &P3DGui();
