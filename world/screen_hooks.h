// What the world asks of the player's screens and views above it (the GUI,
// the HUD and the 3D presentation's cameras). The shell installs the table at
// start-up; without it (in tests) every call does nothing and every query
// answers "no".
#pragma once

struct SceneItem;

struct WorldScreenHooks {
    // The player's ship was lost: the screens show the wreck display, lock
    // the stations and go to the navigation screen (or the end cinematic).
    void (*playerShipLost)();
    // The remains have become the player's ship: the view follows them full
    // screen, the event camera takes them, and full screen stays locked.
    void (*followWreck)(SceneItem *wreck);
    // The options screen is shown (a frozen world then keeps its controlled
    // object still).
    bool (*optionsScreenShown)();
    // Empties the HUD's list of elements (world reset).
    void (*clearHud)();
    // Moves the HUD's world points by a shift of the world's origin.
    void (*shiftHud)(float dx, float dy, float dz);
};

void WorldSetScreenHooks(const WorldScreenHooks *hooks);
extern WorldScreenHooks gWorldScreenHooks;
