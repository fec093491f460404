// Building an element's wire shape: its record's head, and points and edges
// added in groups that never pass the record's room.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"
#include "world/records.h"

// Label, target, routines and parameter of a record; the flags gain bits.
void hudBeginElement(HUD *hud, const char *label, SceneItem *target, uint32_t parameter, HudRebuildRoutine rebuild,
                     HudRoutine perFrame, HudRoutine draw, uint32_t flags);

class HudShape {
public:
    // Starts an empty shape (the record's counts are set by Finish).
    explicit HudShape(HUD *hud) : hud_(hud) {}
    // Whether a group of that many points and edges still fits.
    bool Room(int points, int edges) const {
        return points_ + points <= kHudPoints && edges_ + edges <= kHudEdges;
    }
    // Adds a point at a local position (world = local until placed); its
    // index, or -1 when the record is full.
    int Point(const Vec3 &local);
    void Edge(int from, int to, uint8_t colour);
    // A closed ring of points; the index of its first point.
    int Ring(const Vec3 *points, int count, uint8_t colour);
    // The eight corners of a box (bit 0 x, bit 1 y, bit 2 z: upper when set)
    // and its twelve edges; the first corner's index.
    int Box(const Vec3 &lower, const Vec3 &upper, uint8_t colour);
    int points() const { return points_; }
    int edges() const { return edges_; }
    void Finish();

private:
    HUD *hud_;
    int points_ = 0, edges_ = 0;
};

// The twelve edges of a box by corner index: bottom square, top square,
// four uprights.
extern const int8_t kHudCubeEdges[12][2];
