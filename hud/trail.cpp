// Trails: ribbons sampled behind a moving contact, two points across its
// stern every sampling interval, the edges fading to their band's base.
#include <algorithm>

#include "ai/contacts.h"
#include "core/frame.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/shape.h"
#include "hud/view.h"
#include "world/docking.h"
#include "world/records.h"

uint8_t hudTrailFollowMode;

namespace {

constexpr int kInterval = 33;

void Empty(HUD *hud) {
    hud->pointCount = hud->edgeCount = 0;
    hud->ring[0] = hud->ring[1] = 0;
    hud->values[2] = 0;
    hud->target = nullptr;
}

Contact *Followed(HUD *hud) {
    const int i = hud->values[2] - 1;
    return i >= 0 && i < kMaxContacts ? &dunContacts[i] : nullptr;
}

// The first contact that is seen, not docking and has no trail yet.
Contact *Claim(HUD *hud) {
    for (int i = 0; i < kMaxContacts; ++i) {
        Contact &c = dunContacts[i];
        int16_t box[4];
        if (!(c.flags & ContactFlag::InUse) || (c.flags & ContactFlag::Trail) || !c.object || !c.object->sim) continue;
        if (c.object->simulator == dunUpdateDocking || !hudRenderedBox(c.object, box)) continue;
        c.flags |= ContactFlag::Trail;
        hud->values[2] = i + 1;
        hud->target = c.object;
        return &c;
    }
    return nullptr;
}

void Sample(HUD *hud, const SceneItem *o, int colour) {
    const Sim *s = o->sim;
    Vec3 lower = {-s->radius, -s->radius, -s->radius}, upper = {s->radius, s->radius, s->radius};
    if (const TDP *root = o->avatar ? o->avatar->root : nullptr; root && root->collision) {
        lower = root->collision->boundsLower;
        upper = root->collision->boundsUpper;
    }
    const float z = s->bodyVelocity.z < 0 ? upper.z : -upper.z;
    int16_t &p = hud->ring[0];
    int16_t &e = hud->ring[1];
    if (p + 3 > kHudPoints - 1) p = 0;
    if (e + 5 > kHudEdges - 1) e = 0;
    // The previous sample's points: just before the cursor, or at the top
    // of the ring when it has just restarted.
    const int previous = p >= 2 ? p - 2 : hud->pointCount >= 2 ? hud->pointCount - 2 : -1;
    const Vec3 locals[2] = {{lower.x, 0, z}, {upper.x, 0, z}};
    for (int k = 0; k < 2; ++k) {
        HUDPoint &pt = hud->points[p + k];
        pt = HUDPoint{};
        pt.local = locals[k];
        Vec3 turned;
        MatTransformPointTransposed(turned, locals[k], s->matrix);
        pt.world = {float(s->position.x + turned.x), float(s->position.y + turned.y), float(s->position.z + turned.z)};
    }
    hud->edges[e++] = HUDEdge{int16_t(p), int16_t(p + 1), uint8_t(colour)};
    if (previous >= 0) {
        hud->edges[e++] = HUDEdge{int16_t(previous), int16_t(p), uint8_t(colour)};
        hud->edges[e++] = HUDEdge{int16_t(previous + 1), int16_t(p + 1), uint8_t(colour)};
    }
    p += 2;
    hud->pointCount = uint16_t(std::max<int>(hud->pointCount, p));
    hud->edgeCount = uint16_t(std::max<int>(hud->edgeCount, e));
}

}  // namespace

void hudInitTrail(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, "TRAIL", target, parameter, nullptr, hudTrailSample, nullptr, HudFlag::WorldAnchored);
    hud->values[0] = 0;
    hud->values[1] = kInterval;
    Empty(hud);
}

void hudTrailSample(HUD *hud) {
    if (hud->flags & HudFlag::Hidden) return;
    Contact *c = Followed(hud);
    if (c && (!(c->flags & ContactFlag::InUse) || c->object != hud->target)) {
        c->flags &= ~ContactFlag::Trail;
        Empty(hud);
        c = nullptr;
    }
    if (!c && !(c = Claim(hud))) return;
    const SceneItem *o = c->object;
    if (!o || !o->sim) return;
    const float speed = o->sim->speed;
    const int interval = speed > 5e6f ? 1 : speed > 500000 ? 3 : kInterval;
    hud->values[0] += dunFrameStep;
    while (hud->values[0] >= interval) {
        hud->values[0] -= interval;
        if (speed >= 5000) Sample(hud, o, hudContactColour(c->side));
    }
    int16_t box[4];
    if (hud->ring[1] % 9 == 0 && hudRenderedBox(o, box)) {
        for (int k = 0; k < hud->edgeCount; ++k)
            if (hud->edges[k].colour) hud->edges[k].colour = uint8_t(hudBandDarker(hud->edges[k].colour, 1));
        while (hud->edgeCount > 0 && hud->edges[hud->edgeCount - 1].colour <= hudBandBase(hud->edges[hud->edgeCount - 1].colour))
            --hud->edgeCount;
    }
    hud->flags &= ~HudFlag::DepthCue;
}
