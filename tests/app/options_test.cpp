#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "app/shell.h"
#include "platform/display.h"

namespace {

struct Target {
    const char *word;
    uint8_t *flag;
    uint8_t want;  // 0xFF set, 0 cleared
};

TEST(Options, EveryFlagOption) {
    const Target flags[] = {
        {"-arcade", &optArcade, 0xFF},        {"-slave", &optSlave, 0xFF},
        {"-perspective", &optPerspective, 0xFF}, {"-powers", &optPowers, 0xFF},
        {"-console", &optConsole, 0xFF},      {"-engoff", &optEngineering, 0},
        {"-shades", &optShades, 0xFF},        {"-display_shades", &optDisplayShades, 0xFF},
        {"-xsound", &optSound, 0},            {"-wire", &optWire, 0xFF},
        {"-runinback", &optRunInBack, 0xFF},  {"-fontmake", &optFontMake, 0xFF},
        {"-nofill", &optNoFill, 0xFF},        {"-nodialogue", &optNoDialogue, 0xFF},
        {"-nosysbuf", &optSysBuf, 0},         {"-director", &optDirector, 0xFF},
        {"-nohud", &optNoHud, 0xFF},          {"-brf_pause", &optBrfPause, 0xFF},
        {"-nologos", &optNoLogos, 0xFF},      {"-onelogo", &optOneLogo, 0xFF},
        {"-loadtest", &optLoadTest, 0xFF},    {"-nobrief", &optNoBrief, 0xFF},
        {"-oldkeys", &optOldKeys, 0xFF},      {"-hardlines", &optOwnLines, 0},
        {"-hardstars", &optHardStars, 0xFF},  {"-nostreaks", &optNoStreaks, 0xFF},
        {"-intro", &optIntro, 0xFF},          {"-noslab", &optNoSlab, 0xFF},
        {"-idemo", &optDemo, 0xFF},           {"-forcefull", &optForceFull, 0xFF},
        {"-debug", &optDebug, 0xFF},          {"-nonavlights", &optNoNavLights, 0xFF},
        {"-hidef", &optHiDef, 0xFF},          {"-lagrange", &optLagrange, 0xFF},
        {"-winmouse", &optWinMouse, 0xFF},    {"-nozlock", &optNoZLock, 0xFF},
        {"-noprompts", &optPrompts, 0},       {"-nolodfix", &optLodFix, 0},
        {"-logfile", &optLogfile, 0xFF},      {"-loghistory", &optLogHistory, 0xFF},
        {"-norudder", &optNoRudder, 0xFF},    {"-quarter", &optQuarter, 0xFF},
    };
    for (const Target &t : flags) {
        ResetOptions();
        EXPECT_EQ(*t.flag, t.want ? 0 : 0xFF) << t.word << " start value";
        parseCommandSwitch(t.word);
        EXPECT_EQ(*t.flag, t.want) << t.word;
        // Exactly with case: a capital letter matches nothing.
        ResetOptions();
        std::string upper = t.word;
        upper[1] = static_cast<char>(upper[1] - 'a' + 'A');
        parseCommandSwitch(upper.c_str());
        EXPECT_EQ(*t.flag, t.want ? 0 : 0xFF) << upper;
    }
    ResetOptions();
}

TEST(Options, ValueOptions) {
    ResetOptions();
    parseCommandSwitch("-16");
    EXPECT_EQ(PixelDepth, 16);
    EXPECT_EQ(BytesPerPixel, 2);
    parseCommandSwitch("-800x600");
    EXPECT_EQ(ResolutionMode, 1);
    parseCommandSwitch("-1024x768");
    EXPECT_EQ(ResolutionMode, 2);
    parseCommandSwitch("-debugscript");
    EXPECT_EQ(optDebugScript, -1);
    const std::pair<const char *, int> languages[] = {{"-german", 2}, {"-french", 1}, {"-english", 0}};
    for (auto [word, want] : languages) {
        parseCommandSwitch(word);
        EXPECT_EQ(gLanguage, want) << word;
    }
    for (int n = 1; n <= 4; ++n) {
        parseCommandSwitch(("-start" + std::to_string(n)).c_str());
        EXPECT_EQ(optStartValue, n);
    }
    for (int n = 0; n <= 5; ++n) {
        ResetOptions();
        parseCommandSwitch(("-slot" + std::to_string(n)).c_str());
        EXPECT_EQ(optSaveSlot, n);
        EXPECT_EQ(optSlotGiven, 0xFF);
    }
    parseCommandSwitch("-slot3");
    parseCommandSwitch("-slot1");
    EXPECT_EQ(optSaveSlot, 1);
    parseCommandSwitch("-xsound");
    parseCommandSwitch("-sound");
    EXPECT_EQ(optSound, 0xFF);
    ResetOptions();
}

TEST(Options, TableHoldsEveryOptionOnce) {
    std::vector<std::string> names;
    for (const CommandSwitch *s = CommandSwitchTable; s->name; ++s) {
        EXPECT_NE(s->handler, nullptr) << s->name;
        for (const std::string &n : names) EXPECT_NE(n, s->name);
        names.push_back(s->name);
    }
    EXPECT_EQ(names.size(), 64u);  // 56 rows, "slot0".."slot5" and "start1".."start4" spelled out
    EXPECT_EQ(names.front(), "dummy");
    EXPECT_EQ(names.back(), "quarter");
}

TEST(Options, OddWords) {
    ResetOptions();
    parseCommandSwitch("-");
    parseCommandSwitch("");
    parseCommandSwitch("-nosuchoption");
    parseCommandSwitch("-arcadex");
    parseCommandSwitch("-dummy");
    parseCommandSwitch("-onelogo");
    EXPECT_EQ(optArcade, 0);
    EXPECT_EQ(optFrontEndStart, 0);
    parseCommandSwitch(nullptr);
    EXPECT_EQ(optFrontEndStart, 0xFF);
    // The dash itself is never compared: any first character will do.
    parseCommandSwitch("/arcade");
    EXPECT_EQ(optArcade, 0xFF);
    parseCommandSwitch("-w");
    EXPECT_EQ(optWinMouse, 0xFF);
    ResetOptions();
}

TEST(Options, CommasSeparateLikeBlanks) {
    ResetOptions();
    ShellReadCommandLine("-arcade,-nohud -16,,-slot3, -german,mission.scr -debug");
    EXPECT_EQ(optArcade, 0xFF);
    EXPECT_EQ(optNoHud, 0xFF);
    EXPECT_EQ(PixelDepth, 16);
    EXPECT_EQ(optSaveSlot, 3);
    EXPECT_EQ(gLanguage, 2);
    // The first word without a dash ends the options.
    EXPECT_EQ(optDebug, 0);
    EXPECT_STREQ(gMissionScriptName, "mission.scr");
    ResetOptions();
    gMissionScriptName[0] = 0;
}

TEST(Options, DriverOptionsLastOneWins) {
    ResetOptions();
    parseCommandSwitch("-f");
    parseCommandSwitch("-w");
    EXPECT_EQ(CurrentVideoBackend, VideoBackendKind::Window);
    EXPECT_EQ(FullScreenMode, 0);
    EXPECT_EQ(optWinMouse, 0xFF);
    parseCommandSwitch("-b");
    EXPECT_EQ(CurrentVideoBackend, VideoBackendKind::Card);
    EXPECT_EQ(CardMode, 1);
    EXPECT_EQ(SoftwareRendering, 0);
    parseCommandSwitch("-w");
    EXPECT_EQ(CurrentVideoBackend, VideoBackendKind::Window);
    EXPECT_EQ(SoftwareRendering, 1);
    ResetOptions();
}

}  // namespace
