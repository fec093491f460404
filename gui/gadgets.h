// Gadgets: the draw routines that give a window its look (frames, boxes,
// bitmaps, buttons, texts, gauges, read-outs, video and 3D panes). Each
// computes the window's rectangle first and draws nothing when it is empty;
// colours are palette indexes, turned into RGB565 by the drawers at 16 bits.
#pragma once

#include <cstdint>

#include "gui/window.h"

struct BitmapFont;
struct Raster;

// Palette indexes of the gadgets.
namespace GuiColour {
constexpr int Black = 0, Outline = 24, HotOutline = 29, Highlight = 47, Alert = 42, Band58 = 58, Band64 = 64,
              Band97 = 97, Band133 = 133, Band160 = 160, HorizOutline = 79, Strip = 166, Selected = 159,
              MountLines = 242, NoteText = 246, RootFill = 117;
}  // namespace GuiColour

// ---- Helpers ---------------------------------------------------------------------

// The window's rectangle; false when it is empty or clipped away.
bool guiGadgetRect(GuiWindow *window, ClipRect *rect);
// The wire plan a resource holds, loaded; null unless it is a wireframe
// resource (a window's font slot may name any resource).
void *guiWireframePlan(ResourceHandle *resource);
// The bitmap font of a font resource (loaded on demand), or null.
BitmapFont *guiFont(ResourceHandle *font);
// A bitmap resource's raster (loaded on demand), or null.
Raster *guiRaster(ResourceHandle *picture);
// Text in the glyphs' own colours from a baseline point, clipped.
void guiDrawFontText(Surface *surface, int x, int y, const char *text, const BitmapFont *font, const ClipRect *clip);
int guiTextWidth(const char *text, const BitmapFont *font);
// Where a bitmap of that size is drawn at a non-640x480 resolution: centred
// in the place a scaled window of its size would take.
void guiBitmapCentre(int *x, int *y, int bw, int bh);
// A line of text too wide for its box scrolls left as a marquee; the
// window remembers how far.
void guiDrawMarquee(GuiWindow *window, Surface *surface, int x, int y, int boxWidth, const char *text,
                    const BitmapFont *font, const ClipRect *clip);

// ---- Basic draws -------------------------------------------------------------------

void guiDrawFrame(Surface *surface, int colour, int x0, int y0, int x1, int y1);
void guiDrawBox(GuiWindow *window);
void guiDrawRect(GuiWindow *window);
// The background of gadgets drawn on a rect: the rect without its
// interference.
void guiDrawBackground(GuiWindow *window);
void guiDrawRaster(GuiWindow *window);
void guiDrawSwitch(GuiWindow *window);
void guiDrawImageButton(GuiWindow *window);
void guiDrawPulseButton(GuiWindow *window);
void guiDrawString(GuiWindow *window);
void guiDrawSystemLabel(GuiWindow *window);
void guiDrawButton(GuiWindow *window);
void guiDrawTextButton(GuiWindow *window);
void guiDrawFramedButton(GuiWindow *window);
void guiDrawHelpNote(GuiWindow *window);
void guiDrawText(GuiWindow *window);
void guiDrawMenuItem(GuiWindow *window);

// ---- Meters ----------------------------------------------------------------------

void guiDrawBarVert(GuiWindow *window);
void guiDrawBarVertBanded(GuiWindow *window);
void guiDrawBarVertHot(GuiWindow *window);
void guiDrawBarHoriz(GuiWindow *window);
void guiDrawBarHorizBanded(GuiWindow *window);
void guiDrawBarCHoriz(GuiWindow *window);
void guiDrawBarCVert(GuiWindow *window);
void guiDrawNumeric(GuiWindow *window);
void guiDrawXYDev(GuiWindow *window);
// The colour of a banded gauge: 97, 160 at or below three quarters, 64 at
// or below a quarter.
int guiBandColour(float value, float max);

// ---- Dialogue and small buttons ------------------------------------------------------

void guiDrawDialogueButton(GuiWindow *window);
void guiDrawDialogueArrowA(GuiWindow *window);
void guiDrawDialogueArrowB(GuiWindow *window);
void guiDrawArrowRight(GuiWindow *window);
void guiDrawArrowLeft(GuiWindow *window);

// ---- Read-outs ---------------------------------------------------------------------

// The navigation card of its target (the window's userPtr, a SceneItem).
void guiDrawNavCard(GuiWindow *window);
// The range text of the card: metres, kilometres or millions of kilometres.
void guiFormatRange(char *out, int size, double metres);
// Side colour of a contact's flag word; `card` for the card's rule.
int guiSideColour(uint32_t flags, bool card);
void guiDrawTargetLine(GuiWindow *window);
void guiDrawWireIcon(GuiWindow *window);

// ---- Station read-outs ---------------------------------------------------------------

struct EngComponent;
// A contact row (the window's userPtr, a Contact) in its side colour, and a
// slot that is cleared while it holds no contact.
void guiDrawContactRow(GuiWindow *window);
void guiDrawContactSlot(GuiWindow *window);
// Repair team trunc(value): what it works on, or ready.
void guiDrawRepairTeam(GuiWindow *window);
// The engineering network's components in their health colours, the focus
// framed; the text feed takes its place while it types.
void guiDrawComponentList(GuiWindow *window);
// One component's bar, and the player ship's components from index
// trunc(value) to trunc(max) (all when both are 0).
void guiDrawLevelBar(const EngComponent *component, int x0, int y0, int x1, int y1);
void guiDrawLevelBars(GuiWindow *window);
// The view-filter button of system trunc(value), and the team button at the
// selected team's place.
void guiDrawSystemButton(GuiWindow *window);
void guiDrawTeamButton(GuiWindow *window);
// A track with a thumb: value the first line, max the length, state the
// lines shown at once.
void guiDrawScrollBar(GuiWindow *window);
// The checkpoint chooser over the list guiRefreshSaveList makes.
void guiDrawSaveList(GuiWindow *window);
// The player ship's weapons across the window, each with its name.
void guiDrawWeaponMounts(GuiWindow *window);
// Cells: max of them, value filled, state the first entry's kind.
void guiDrawCellRow(GuiWindow *window);
// Camera views of the current target and of the current contact.
void guiDrawStationView(GuiWindow *window);
void guiDrawContactView(GuiWindow *window);

// ---- Panes -------------------------------------------------------------------------

void guiDrawProfile(GuiWindow *window);
void guiDrawLogger(GuiWindow *window);
void guiDrawVideo(GuiWindow *window);
void guiDrawOverlay(GuiWindow *window);
void guiDraw3D(GuiWindow *window);
void guiDrawMainViewPane(GuiWindow *window);
void guiDraw3DWire(GuiWindow *window);
void guiDrawRemoteLabel(GuiWindow *window);

// ---- State the panes and read-outs read ------------------------------------------------

extern GuiWindow *gGuiProfileWindow;   // the frame profiler's window (WIN_PROFILE)
extern void *gGuiNavTarget;            // the main view card's target (a SceneItem)
extern uint8_t gGuiNavCardOn;          // the main view shows the navigation card
extern uint8_t gGuiWeaponsHardpointView;  // the weapons station shows its hardpoints
extern uint8_t gGuiRemoteLink;         // a remote link is open
extern void *gGuiRemoteObject;         // the linked object (a SceneItem)
extern EngComponent *gGuiEngFocus;     // the component the engineering station shows
extern uint16_t gGuiEngViewMask;       // the engineering view filter (0x3F at start)
extern int16_t gGuiEngTeam;            // the selected repair team, from 1
// The checkpoint chooser's list, its chosen row (-1 none) and whether it shows.
constexpr int kGuiSaveListMax = 32, kGuiSaveNameBytes = 64;
extern char gGuiSaveNames[kGuiSaveListMax][kGuiSaveNameBytes];
extern int32_t gGuiSaveIds[kGuiSaveListMax];
extern int gGuiSaveCount;
extern int16_t gGuiSaveChosen;
extern uint8_t gGuiSaveListShown;
