// Flat wire drawings: display nodes holding the plan views of shapes, their
// view easing towards its targets, the node chains drawn with the parts
// big enough on screen, and one plan drawn into a rectangle of the screen.
#include "present/wireframe.h"

#include <cmath>

#include "RES/gfx2d.h"
#include "RES/text.h"
#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/hooks.h"
#include "present/lwo/lwo.h"
#include "present/views.h"
#include "render/pmap/pixelmap.h"
#include "world/engineering.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"

WireframeView gWireframeView = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF, nullptr, 0, nullptr};

namespace {

constexpr uint16_t kNoColour = 65535;
constexpr int kLeastPartSize = 6;
// Chains deeper than this are taken for a loop a script made.
constexpr int kMaxDepth = 64;
constexpr char kTestShape[] = "vek\\resource\\shapes\\Test_WRI.lwo";

const WireframeModel *Plan(const WireframeNode *node) { return static_cast<const WireframeModel *>(node->shape); }

void DrawLabel(const WireframeNode *node, const WireframeModel *plan, float scale, const HudRect &r, int colour,
               int rampBase) {
    const float cx = (r.right - r.left) / 2.0f, cy = (r.bottom - r.top) / 2.0f;
    for (int k = 0; k < plan->partCount; ++k) {
        const float *part = plan->parts[k];
        const float x = cx + (part[0] - gWireframeView.x) * scale + r.left;
        const float y = cy + (part[1] - gWireframeView.y - 0.5f) * scale + r.top;
        float f = scale < 2 ? 2 : scale;
        int labelColour = rampBase + int((f - 2) / 8 * float(colour - rampBase));
        if (labelColour > colour) labelColour = colour;
        if (f > 24) f = 24;
        if (labelColour == rampBase || !(x > r.left && x < r.right && y > r.top && y < r.bottom)) continue;
        const char *text = node->labels ? node->labels[2 + gLanguage] : nullptr;
        if (gLanguage == 0 && text && HudVectorFont) {
            int tx = int(x), ty = int(y);
            const ClipRect clip{r.left, r.top, r.right, r.bottom};
            vfontDrawTextScaled(&ScreenSurface, f, &tx, &ty, text, HudVectorFont, &clip, labelColour);
        }
        return;
    }
}

void DrawNode(WireframeNode *node, float ox, float oy, float zoom, int colourOverride, int depth) {
    if (!node || depth > kMaxDepth) return;
    if (node->sibling) DrawNode(node->sibling, ox, oy, zoom, colourOverride, depth + 1);
    if ((node->flags & WireframeFlag::Shown) && (node->mask & gWireframeView.filter)) {
        const HudRect &r = HudViewRect;
        const float scale = zoom != 0 ? float(r.right - r.left) / zoom : 0;
        const float rx = node->x - ox, ry = node->y - oy;
        node->flags &= ~WireframeFlag::Drawn;
        const WireframeModel *plan = Plan(node);
        if (node->flags & WireframeFlag::Parts) {
            // Every part counts, however many the model has: the sizes are
            // only compared, so no scratch array limits them.
            const int parts = plan ? plan->partCount : 0;
            for (int k = 0; k < parts && !(node->flags & WireframeFlag::Drawn); ++k) {
                const float *part = plan->parts[k];
                if (int(std::fmax(part[2], part[3]) * scale * 1.5f) > kLeastPartSize)
                    node->flags |= WireframeFlag::Drawn;
            }
            // Too small to see: neither the node nor its children.
            if (!(node->flags & WireframeFlag::Drawn)) return;
        }
        const int rampBase = ((int(node->colour) - 16) & ~31) + 16;
        int colour = node->colour;
        if (gWireframeView.mode == 1 && rampBase == 16) colour = 24;
        if (node == gWireframeView.highlighted && dunGameClock % 100 < 50) colour -= 8;
        if (colourOverride) colour = colourOverride;
        if (plan && colour && node->colour != kNoColour) {
            for (int e = 0; e < plan->edgeCount; ++e) {
                const int a = plan->edges[e][0], b = plan->edges[e][1];
                if (a >= plan->pointCount || b >= plan->pointCount) continue;
                const float *p = plan->points[a], *q = plan->points[b];
                dunCall(P3DHud().drawLineIn, HudPixelmap, int((p[0] + rx) * scale), int((p[1] + ry) * scale),
                        int((q[0] + rx) * scale), int((q[1] + ry) * scale), colour);
            }
        }
        if (plan && node == gWireframeView.highlighted && (node->flags & WireframeFlag::Parts))
            DrawLabel(node, plan, scale, r, node->colour, rampBase);
        if ((node->flags & WireframeFlag::Anchor) && !(node->flags & WireframeFlag::Parts) && node->shape) {
            auto *place = static_cast<uint16_t *>(node->shape);
            place[0] = uint16_t(int((r.right - r.left) / 2 + rx * scale));
            place[1] = uint16_t(int((r.bottom - r.top) / 2 + ry * scale));
        }
    }
    if (node->child) DrawNode(node->child, ox, oy, zoom, colourOverride, depth + 1);
}

}  // namespace

WireframeNode *WireframeNodeCreate(void *shape, int colour) {
    WireframeNode *node = dunAllocWireframeNode();
    if (!node) return nullptr;
    node->colour = uint16_t(colour);
    node->shape = shape;
    node->flags = node->colour == kNoColour ? WireframeFlag::Drawn | WireframeFlag::Shown | WireframeFlag::Anchor
                                            : WireframeFlag::Drawn | WireframeFlag::Shown | WireframeFlag::Parts;
    return node;
}

// A node already among the children stays where it is: a second append
// would close the chain into a loop.
void WireframeListAppend(WireframeNode *parent, WireframeNode *node) {
    if (!parent || !node || parent == node) return;
    WireframeNode **link = &parent->child;
    for (; *link; link = &(*link)->sibling)
        if (*link == node) return;
    *link = node;
}

void WireframeCentre(WireframeNode *node) {
    auto *plan = node ? static_cast<WireframeModel *>(node->shape) : nullptr;
    if (!plan || !plan->pointCount || (node->flags & WireframeFlag::Anchor)) return;
    float mx = 0, my = 0;
    for (int i = 0; i < plan->pointCount; ++i) {
        mx += plan->points[i][0];
        my += plan->points[i][1];
    }
    mx /= plan->pointCount;
    my /= plan->pointCount;
    for (int i = 0; i < plan->pointCount; ++i) {
        plan->points[i][0] -= mx;
        plan->points[i][1] -= my;
    }
    // The parts' rectangles stay the bounds of their points.
    for (int k = 0; k < plan->partCount; ++k) {
        plan->parts[k][0] -= mx;
        plan->parts[k][1] -= my;
    }
    node->x += mx;
    node->y += my;
}

void WireframeSetOffsets(WireframeNode *node, float dx, float dy) {
    if (!node) return;
    WireframeView &v = gWireframeView;
    v.pendingX = node->x + dx;
    v.pendingY = node->y + dy;
    float largest = 0;
    if (const WireframeModel *plan = (node->flags & WireframeFlag::Anchor) ? nullptr : Plan(node))
        for (int k = 0; k < plan->partCount; ++k)
            largest = std::fmax(largest, std::fmax(plan->parts[k][2], plan->parts[k][3]));
    v.pendingZoom = 2 * largest;
    v.pending = 1;
}

void WireframeSmoothOffsets() {
    WireframeView &v = gWireframeView;
    if (v.pending) {
        v.pending = 0;
        v.zoomTarget = v.pendingZoom;
        v.xTarget = v.pendingX;
        v.yTarget = v.pendingY;
    }
    v.zoom = 0.15f * v.zoomTarget + 0.85f * v.zoom;
    v.x = 0.15f * v.xTarget + 0.85f * v.x;
    v.y = 0.15f * v.yTarget + 0.85f * v.y;
}

void WireframeDraw(WireframeNode *node, float offsetX, float offsetY, float zoom, int, int colourOverride) {
    DrawNode(node, offsetX, offsetY, zoom, colourOverride, 0);
}

bool WireframeDrawInRect(void *shape, int x0, int y0, int x1, int y1, int colour, float degrees) {
    const auto *plan = static_cast<const WireframeModel *>(shape);
    if (!plan) return false;
    if (!colour) return true;
    const float cx = (x0 + x1) / 2.0f, cy = (y0 + y1) / 2.0f;
    const float sx = (x1 - x0) / 200.0f, sy = (y1 - y0) / 200.0f;
    const float a = degrees * 3.14159265359f / 180.0f, c = std::cos(a), s = std::sin(a);
    const ClipRect clip{0, 0, int16_t(ScreenSurface.width - 1), int16_t(ScreenSurface.height - 1)};
    auto at = [&](int i, int *x, int *y) {
        const float px = plan->points[i][0], py = plan->points[i][1];
        *x = int(cx + py * sx * c + px * sx * s);
        *y = int(cy - py * sy * s + px * sy * c);
    };
    for (int e = 0; e < plan->edgeCount; ++e) {
        const int a0 = plan->edges[e][0], b0 = plan->edges[e][1];
        if (a0 >= plan->pointCount || b0 >= plan->pointCount) continue;
        int xa, ya, xb, yb;
        at(a0, &xa, &ya);
        at(b0, &xb, &yb);
        DrawLineClipped(&ScreenSurface, xa, ya, xb, yb, colour, &clip);
    }
    return true;
}

namespace {

void FreeTree(WireframeNode *node, int depth) {
    while (node && depth <= kMaxDepth) {
        WireframeNode *next = node->sibling;
        FreeTree(node->child, depth + 1);
        dunFreeWireframeNode(node);
        node = next;
    }
}

}  // namespace

void WireframeResetSchematic() {
    WireframeView &v = gWireframeView;
    FreeTree(v.root, 0);
    v.root = v.highlighted = nullptr;
    for (int i = 0; i < dunComponentTableCount && i < kEngTableSize; ++i)
        if (dunComponentTable[i]) dunComponentTable[i]->screenWidget = nullptr;
}

void WireframeDrawGrid(float offsetX, float offsetY, float zoom) {
    const HudRect &r = HudViewRect;
    const float s = zoom != 0 ? float(r.right - r.left) / zoom : 0;
    const float ox = 0.6f * offsetX, oy = 0.6f * offsetY;
    for (int u = -180; u < 180; u += 20) {
        dunCall(P3DHud().drawLineIn, HudPixelmap, int((u - ox) * s), int((-180 - oy) * s), int((u - ox) * s),
                int((180 - oy) * s), 24);
        dunCall(P3DHud().drawLineIn, HudPixelmap, int((-180 - ox) * s), int((u - oy) * s), int((180 - ox) * s),
                int((u - oy) * s), 24);
    }
}

void WireframeWindowDraw(P3DPane *pane) {
    if (!pane) return;
    WireframeView &v = gWireframeView;
    if (!v.root) {
        uint32_t status = 0;
        if (void *plan = LwoLoadWireframe(kTestShape, nullptr, &status)) {
            if (WireframeNode *node = WireframeNodeCreate(plan, (dunRand15() % 7) * 32 + 40)) {
                node->flags |= WireframeFlag::Drawn | WireframeFlag::Shown;
                v.root = node;
            }
        }
    }
    P3DAllocViewBuffers(pane);
    auto *colour = static_cast<vt_pixelmap *>(pane->image);
    if (colour) {
        colour->pixels = ScreenSurface.pixels;
        VtPixelmapFill(colour, 0);
    }
    HudPixelmap = colour;
    HudViewRect = {pane->x, pane->y, int16_t(pane->x + pane->w - 1), int16_t(pane->y + pane->h - 1)};
    if (colour && v.root) WireframeDraw(v.root, v.x, v.y, v.zoom, 0, 0);
    WireframeSmoothOffsets();
    HudPixelmap = nullptr;
    P3DSelectViewBuffers(pane);
}
