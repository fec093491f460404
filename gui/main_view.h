// The cockpit's main view window: which of its displays it shows this frame.
#pragma once

#include <cstdint>

struct GuiWindow;

// The displays the main view chooses among, in a table so that tests can
// watch the choice.
struct MainViewRoutines {
    void (*blank)(GuiWindow *window);        // a blank frame while the screen changes
    void (*document)(GuiWindow *window);     // the scene with the document viewer over it
    void (*hardpoints)(GuiWindow *window);   // the weapons station's mounts
    void (*pane)(GuiWindow *window);         // the ordinary cockpit view
    void (*localSpace)(GuiWindow *window);   // the local-space viewer
    void (*objectives)(GuiWindow *window);   // the scene with the objectives list
    void (*remoteLabel)(GuiWindow *window);  // the remote link's label over the view
};
extern MainViewRoutines gMainViewRoutines;
// The game's own table.
extern const MainViewRoutines kMainViewRoutines;

// Frames still to show blank (set around screen changes); when the count
// ends the briefing palette ("BRFPalette") becomes current.
extern uint16_t gGuiBlankFrames;

// The draw routine of the cockpit screens' main view windows.
void MainViewDraw(GuiWindow *window);
// The local-space viewer's cockpit commands: show it looking at the
// player's target, and put its camera back to rest.
void LSpaceViewerShow();
void LSpaceViewerResetCommand();
