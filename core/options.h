// Process-wide option flags and values set from the command line.
// A flag byte is 0xFF when set and 0 when clear; it counts as set when not 0.
#pragma once

#include <cstdint>

extern uint8_t optArcade;
extern int32_t optDebugScript;
extern uint8_t optSlave;
extern uint8_t optPerspective;
extern uint8_t optPowers;
extern uint8_t optConsole;
extern uint8_t optEngineering;    // starts set; "engoff" clears it
extern uint8_t optShades;
extern uint8_t optDisplayShades;
extern uint8_t optSound;          // starts set; "xsound" clears it
extern uint8_t optWire;
extern uint8_t optRunInBack;
extern uint8_t optFontMake;
extern uint8_t optNoFill;
extern uint8_t optNoDialogue;
extern uint8_t optSysBuf;         // starts set; "nosysbuf" clears it
extern uint8_t optDirector;
extern uint8_t optNoHud;
extern uint8_t optBrfPause;
extern uint8_t optNoLogos;
extern uint8_t optOneLogo;
extern uint8_t optLoadTest;
extern uint8_t optNoBrief;
extern uint8_t optOldKeys;
extern uint8_t optOwnLines;       // starts set; "hardlines" clears it
extern uint8_t optHardStars;
extern uint8_t optNoStreaks;
extern uint8_t optIntro;
extern uint8_t optNoSlab;
extern uint8_t optDemo;           // "idemo"
extern uint8_t optForceFull;
extern uint8_t optDebug;
extern uint8_t optNoNavLights;
extern uint8_t optHiDef;
extern uint8_t optLagrange;
extern uint8_t optWinMouse;
extern uint8_t optNoZLock;
extern uint8_t optPrompts;        // starts set; "noprompts" clears it
extern uint8_t optLodFix;         // starts set; "nolodfix" clears it
extern uint8_t optLogfile;
extern uint8_t optLogHistory;
extern uint8_t optNoRudder;
extern uint16_t optSaveSlot;
extern uint8_t optSlotGiven;
extern int32_t optStartValue;
extern uint8_t optQuarter;
extern uint8_t optFrontEndStart;  // set by the empty option word

// Display and language values the options choose.
extern int32_t PixelDepth;       // 8 or 16 (the window driver also takes 24)
extern uint16_t BytesPerPixel;   // 1 or 2
extern int16_t ResolutionMode;   // 0 640x480, 1 800x600, 2 1024x768
extern uint16_t gLanguage;       // 0 English, 1 French, 2 German
extern uint8_t CardMode;         // the 3D library's own output devices drive the display
extern uint8_t FullScreenMode;   // the full-screen driver is open

// Restores every option to its start value (for tests and a fresh start).
void ResetOptions();
