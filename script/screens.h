// What the mission script asks of the screens above it: the GUI (the
// cockpit, the feed and the front end's career timeline) and the HUD. Each
// installs its table in game initialisation; without one (tests) a call
// does nothing and a query answers 0 or none. The screens' own statements
// (windows and screens, key and joystick bindings, the options' start
// values, window help) come as rows of the GUI's table. Calls the world
// makes of the screens as well (the feed's texts, the mission log, the
// comms arm) go through the world's tables (world/services.h).
#pragma once

#include <cstdint>

#include "RES/vecmath.h"
#include "script/statements.h"

struct HUD;
struct MissionRecord;
struct SceneItem;
struct ScriptSymbol;

struct ScriptGuiHooks {
    // The statement rows of the screens, each ended by a row with a null
    // statement; the statement table takes them when it is built.
    const ScriptStatementRow *windowStatements;
    const ScriptStatementRow *settingStatements;
    // A mission starts: the navigation programs are made, the text feed and
    // the message line cleared.
    void (*missionStarted)();
    // The mission is over and the front end comes back: the career takes
    // the result, the front end's palette and screen return, the comms
    // arm's films close.
    void (*backToFrontEnd)();
    // The key handler's and the navigation station's state of the mission
    // go; and the document viewer's pictures and films.
    void (*resetCockpit)();
    void (*resetDocMedia)();
    // The comms arm's films closed, when the arm is open; true when it was.
    bool (*closeComArmFilms)();
    // The cockpit's end of the mission, and its full-screen view pushed.
    void (*endMission)();
    void (*pushFullScreen)();
    // A cockpit screen by name; the whole screen and the main view redrawn.
    void (*setScreen)(const char *name);
    void (*markRedraw)();
    void (*redrawMainView)();
    // The objectives screen opened over the current one.
    void (*openObjectives)();
    // The text feed emptied; the time a text stays on the feed; the speaker
    // shown by the name of its portrait; the choice window redrawn.
    void (*resetTextFeed)();
    int32_t (*messageTime)(const char *text);
    void (*setSpeaker)(const char *portrait);
    void (*redrawChoices)();
    // The comms arm's portrait clip mode: 0 work, 1 listen, 2 talk, 0xFFFF
    // none.
    void (*setSpeakerClipMode)(uint16_t mode);
    // The career timeline: a mission's box added to its list, both lists
    // laid out, and both emptied.
    void (*timelineAdd)(const MissionRecord *mission);
    void (*timelineLayout)();
    void (*timelineFree)();
    // The navigation station's autopilot program stopped; whether its
    // command section may separate (ALLOW_CMD_SEP).
    void (*navStopProgram)();
    void (*allowCommandSeparation)(bool allowed);
    // The checkpoint list made again; the number of its entries.
    int (*refreshSaveList)();
    // A mount code of the player's ship as the cockpit's mirrored arcs
    // have it (unchanged when they are not mirrored).
    uint16_t (*mirrorArcCode)(uint16_t code);
    // Plays a dialogue resource's text: a marked-up dialogue is started, a
    // plain line typed (in a briefing) or logged; 0 when it has no text.
    uint8_t (*playDialogueLine)(ScriptSymbol *symbol, ScriptSymbol *reply, ScriptSymbol *owner, SceneItem *speaker);
    // True while the text feed has characters of its text still to type.
    bool (*feedTyping)();
    // The comms arm opened for a dialogue, when it is closed.
    void (*openComArm)();
    // The first key bound to a command (modifier rows 0 then 1, scan codes
    // in order); false when none is.
    bool (*findKeyBinding)(uint16_t command, int *modifier, int *scan);
    // A cockpit screen entered again by name, even when it is the current
    // one.
    void (*reenterScreen)(const char *name);
    // The navigation station's selected autopilot program started again
    // (the player's targets changed under it).
    void (*reselectNavProgram)();
};

struct ScriptHudHooks {
    // A mission starts: the radar's range goes back to its start.
    void (*missionStarted)();
    void (*missionLogReset)();
    // The script's wire globe round an object, registered with the HUD.
    void (*addScriptHud)(HUD *hud, SceneItem *item, Vec3 centre, Vec3 radii);
    // The navigation map's highlighted stars and planets cleared.
    void (*clearNavMapHighlights)();
    // A labelled marker on an object at a world point, registered.
    void (*addMarker)(HUD *hud, const char *label, SceneItem *item, double x, double y, double z);
};

void ScriptSetGuiHooks(const ScriptGuiHooks *hooks);
void ScriptSetHudHooks(const ScriptHudHooks *hooks);

// The installed tables, or an empty one.
const ScriptGuiHooks &ScriptGui();
const ScriptHudHooks &ScriptHud();
