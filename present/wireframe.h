// Flat wire drawings of shapes: a tree of display nodes, each holding the
// plan view of a LightWave object, drawn with a zoom and a view offset that
// ease towards their targets; and one plan drawn into a rectangle.
#pragma once

#include <cstdint>

struct WireframeNode;
struct P3DPane;

// The view: zoom and view offset with their targets, the display filter,
// the highlighted node, the display mode (1: grey nodes lighter) and the
// root of the engineering schematic.
struct WireframeView {
    float zoom, zoomTarget;
    float x, y, xTarget, yTarget;
    float pendingZoom, pendingX, pendingY;
    uint8_t pending;
    uint16_t filter;
    WireframeNode *highlighted;
    int32_t mode;
    WireframeNode *root;
};
extern WireframeView gWireframeView;

// The mission's schematic given back: every node of the tree freed, the
// components' widgets cleared (their plans go with the mission's resources).
void WireframeResetSchematic();

// A node of the shape (a WireframeModel) in the colour; 65535 makes an
// anchor that only reports its screen place into the shape's two words.
WireframeNode *WireframeNodeCreate(void *shape, int colour);
// Appends the node at the end of the parent's children.
void WireframeListAppend(WireframeNode *parent, WireframeNode *node);
// Moves the model's points so that their mean lies at the origin, and the
// node by that mean, so that the drawing stays where it was.
void WireframeCentre(WireframeNode *node);
// The view eases towards the node moved by (dx, dy), zoomed to its parts.
void WireframeSetOffsets(WireframeNode *node, float dx, float dy);
void WireframeSmoothOffsets();
// Draws a node chain (its last sibling first, each node before its
// children) into the HUD's target over its view rectangle. A colour
// override other than 0 replaces every node's colour.
void WireframeDraw(WireframeNode *node, float offsetX, float offsetY, float zoom, int unused, int colourOverride);
// Draws a plan into the rectangle of the screen, turned about the vertical
// axis; false when there is no plan.
bool WireframeDrawInRect(void *shape, int x0, int y0, int x1, int y1, int colour, float degrees);
// The background grid of the ship view: lines every 20 model units from
// -180 to 160 each way, shifted by 0.6 x the view offset, in colour 24.
void WireframeDrawGrid(float offsetX, float offsetY, float zoom);
// The wireframe window's draw routine: its colour buffer cleared, the
// node tree (a test shape on first use) drawn with the view, the view eased.
void WireframeWindowDraw(P3DPane *pane);
