// The weapons station's mount display: the corvette's hull as one plain
// shape, and its four weapon mounts (beam cannons and launchers, left and
// right) each in an empty and a ready form. They share the corvette's frame
// (file units, y up, z ahead), so the station draws them all where the ship
// is; the ready forms stand a little proud of the empty ones.
#include <string>

#include "data/lwob/lwob.h"
#include "mkdata.h"
#include "scenes.h"

namespace {

using lwob::Object;
using lwob::Surface;

Surface Plain(const char *name, int r, int g, int b) {
    Surface s;
    s.name = name;
    s.colour[0] = uint8_t(r);
    s.colour[1] = uint8_t(g);
    s.colour[2] = uint8_t(b);
    return s;
}

// The hull: body, nose, wings and engine pods, as the ship itself has them.
Object Hull() { return mkdata::CorvetteOutline(Plain("WepHull", 150, 150, 160)); }

// A beam cannon on the wing: a breech and a long barrel pointing ahead.
Object BeamMount(float side, float grow) {
    const Surface metal = Plain(grow > 0 ? "WepReady" : "WepMount", 200, 200, 90);
    Object o = lwob::Box({-0.8f - grow, 0.4f, -2 - grow}, {0.8f + grow, 1.6f + grow, 1 + grow}, metal);
    o.Append(lwob::Tube(6, 1, 0.3f + grow, 7 + grow, 0.3f + grow, metal));
    o.Move(side * 9, 0, 0);
    return o;
}

// A launcher under the wing: a box of tubes.
Object LauncherMount(float side, float grow) {
    const Surface metal = Plain(grow > 0 ? "WepReady" : "WepMount", 90, 200, 200);
    Object o;
    for (float dx : {-0.7f, 0.7f}) {
        Object tube = lwob::Tube(6, -3 - grow, 0.6f + grow, 3 + grow, 0.6f + grow, metal);
        tube.Move(dx, -1.4f, 0);
        o.Append(tube);
    }
    o.Move(side * 6, 0, 0);
    return o;
}

// The engineering station's schematic: the hull and the components the
// first missions' ships name, each a plan in the corvette's frame (seen
// from above, so the boxes are laid out in x and z).
struct SchematicPart {
    const char *file;
    lwob::Point low, high;
    bool mirrored;  // a second box on the other side
};
const SchematicPart kSchematic[] = {
    {"eng_reactor.lwo", {-1.2f, -1, -3}, {1.2f, 1, 1}, false},
    {"eng_fuel.lwo", {-2.6f, -1, -7}, {-1.2f, 1, -3.5f}, true},
    {"eng_mainthrs.lwo", {-9, -1, -14}, {-7, 1, -10}, true},
    {"eng_lds.lwo", {-1, -1, -11}, {1, 1, -8}, false},
    {"eng_capsule.lwo", {-1, -1, 3}, {1, 1, 6}, false},
    {"eng_coolant.lwo", {-6, -0.3f, -6}, {-3.5f, 0.3f, 0}, true},
    {"eng_heat.lwo", {-12.5f, -0.3f, -7}, {-10, 0.3f, 1}, true},
    {"eng_accum.lwo", {-2, -1, 7}, {2, 1, 9}, false},
};

bool Write(const mkdata::Context &ctx, const char *name, const Object &o) {
    return lwob::Save(mkdata::OutPath(ctx, std::string("vek/resource/shapes/") + name), o);
}

bool WriteWeaponMounts(const mkdata::Context &ctx) {
    bool ok = Write(ctx, "CorvAsm_WEP.lwo", Hull());
    // The command station's load-out panels show the same hull in outline.
    ok &= Write(ctx, "md2_outer.lwo", Hull());
    struct Mount {
        const char *name;
        bool beam;
        float side;  // +1 right, -1 left
        float grow;
    } const mounts[] = {
        {"WEP_RtPBC.lwo", true, 1, 0},      {"WEP_LfPBC.lwo", true, -1, 0},
        {"WEP_RtMAG.lwo", false, 1, 0},     {"WEP_LfMAG.lwo", false, -1, 0},
        {"WEP_RtPBCR.lwo", true, 1, 0.15f}, {"WEP_LfPBCR.lwo", true, -1, 0.15f},
        {"WEP_RtMAGR.lwo", false, 1, 0.15f}, {"WEP_LfMAGR.lwo", false, -1, 0.15f},
    };
    for (const Mount &m : mounts)
        ok &= Write(ctx, m.name, m.beam ? BeamMount(m.side, m.grow) : LauncherMount(m.side, m.grow));
    ok &= Write(ctx, "eng_hull.lwo", Hull());
    const Surface part = Plain("EngPart", 200, 200, 200);
    for (const SchematicPart &p : kSchematic) {
        Object o = lwob::Box(p.low, p.high, part);
        if (p.mirrored) o.Append(lwob::Box({-p.high.x, p.low.y, p.low.z}, {-p.low.x, p.high.y, p.high.z}, part));
        ok &= Write(ctx, p.file, o);
    }
    return ok;
}

mkdata::Generator gWeaponMounts("36-weapon-mounts", WriteWeaponMounts);

}  // namespace
