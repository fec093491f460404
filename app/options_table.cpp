// The command-line option table, searched in order.
#include <cstring>

#include "app/options.h"
#include "platform/display.h"


namespace {

void Set(uint8_t &flag) { flag = 0xFF; }

#define FLAG(name, flag) {name, [] { Set(flag); }}
#define CLEAR(name, flag) {name, [] { flag = 0; }}

}  // namespace

const CommandSwitch CommandSwitchTable[] = {
    {"dummy", [] {}},
    FLAG("arcade", optArcade),
    {"debugscript", [] { optDebugScript = -1; }},
    {"f", [] { SelectFullScreenDriver(); }},
    {"w",
     [] {
         SelectWindowDriver();
         Set(optWinMouse);
     }},
    {"b", [] { SelectDeviceDriver(); }},
    FLAG("slave", optSlave),
    FLAG("perspective", optPerspective),
    FLAG("powers", optPowers),
    FLAG("console", optConsole),
    CLEAR("engoff", optEngineering),
    FLAG("shades", optShades),
    FLAG("display_shades", optDisplayShades),
    FLAG("sound", optSound),
    CLEAR("xsound", optSound),
    FLAG("wire", optWire),
    FLAG("runinback", optRunInBack),
    FLAG("fontmake", optFontMake),
    FLAG("nofill", optNoFill),
    FLAG("nodialogue", optNoDialogue),
    CLEAR("nosysbuf", optSysBuf),
    FLAG("director", optDirector),
    FLAG("nohud", optNoHud),
    FLAG("brf_pause", optBrfPause),
    FLAG("nologos", optNoLogos),
    FLAG("onelogo", optOneLogo),
    FLAG("loadtest", optLoadTest),
    FLAG("nobrief", optNoBrief),
    FLAG("oldkeys", optOldKeys),
    {"16",
     [] {
         PixelDepth = 16;
         BytesPerPixel = 2;
     }},
    CLEAR("hardlines", optOwnLines),
    FLAG("hardstars", optHardStars),
    FLAG("nostreaks", optNoStreaks),
    FLAG("intro", optIntro),
    FLAG("noslab", optNoSlab),
    FLAG("idemo", optDemo),
    FLAG("forcefull", optForceFull),
    {"english", [] { gLanguage = 0; }},
    {"french", [] { gLanguage = 1; }},
    {"german", [] { gLanguage = 2; }},
    FLAG("debug", optDebug),
    FLAG("nonavlights", optNoNavLights),
    FLAG("hidef", optHiDef),
    FLAG("lagrange", optLagrange),
    {"800x600", [] { ResolutionMode = 1; }},
    {"1024x768", [] { ResolutionMode = 2; }},
    FLAG("winmouse", optWinMouse),
    FLAG("nozlock", optNoZLock),
    CLEAR("noprompts", optPrompts),
    CLEAR("nolodfix", optLodFix),
    FLAG("logfile", optLogfile),
    FLAG("loghistory", optLogHistory),
    FLAG("norudder", optNoRudder),
#define SLOT(n)                   \
    {"slot" #n, [] {              \
         optSaveSlot = n;         \
         Set(optSlotGiven);       \
     }}
    SLOT(0), SLOT(1), SLOT(2), SLOT(3), SLOT(4), SLOT(5),
#undef SLOT
    {"start1", [] { optStartValue = 1; }},
    {"start2", [] { optStartValue = 2; }},
    {"start3", [] { optStartValue = 3; }},
    {"start4", [] { optStartValue = 4; }},
    FLAG("quarter", optQuarter),
    {nullptr, nullptr},
};

void parseCommandSwitch(const char *word) {
    if (!word) {
        optFrontEndStart = 0xFF;
        return;
    }
    if (!word[0]) return;
    for (const CommandSwitch *s = CommandSwitchTable; s->name; ++s) {
        if (std::strcmp(word + 1, s->name) == 0) {
            s->handler();
            return;
        }
    }
}
