// Lighting in view space: the enabled lights made ready for a draw, and
// the colour or intensity of a point.
#include <algorithm>
#include <cmath>

#include "render/drivers/srstate.h"

namespace {

vt_vector3 colourOf(vt_colour c) {
    return {{((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f}};
}

vt_float brightest(const vt_vector3 &c) { return std::max(c.v[0], std::max(c.v[1], c.v[2])); }

vt_vector3 unit(const vt_vector3 &v) {
    vt_float l = std::sqrt(v.v[0] * v.v[0] + v.v[1] * v.v[1] + v.v[2] * v.v[2]);
    if (!(l > 1e-20f))
        return {{0, 0, 1}};
    return {{v.v[0] / l, v.v[1] / l, v.v[2] / l}};
}

vt_float dot(const vt_vector3 &a, const vt_vector3 &b) {
    return a.v[0] * b.v[0] + a.v[1] * b.v[1] + a.v[2] * b.v[2];
}

// What one light gives a point: the unit vector towards it and its
// strength there (attenuation and spot cone).
bool towards(const sr_lit_light &li, const vt_vector3 &p, vt_vector3 *L, vt_float *strength) {
    if (li.type == VTT_DIRECT) {
        *L = li.direction;
        *strength = 1;
        return true;
    }
    vt_vector3 d = {{li.position.v[0] - p.v[0], li.position.v[1] - p.v[1], li.position.v[2] - p.v[2]}};
    vt_float dist = std::sqrt(dot(d, d));
    if (!(dist > 1e-20f))
        return false;
    *L = {{d.v[0] / dist, d.v[1] / dist, d.v[2] / dist}};
    vt_float att = li.c + li.l * dist + li.q * dist * dist;
    vt_float s = att > 0 ? 1 / att : 1;
    if (li.type == VTT_SPOT) {
        // The cosine of the angle between the spot's axis (minus its
        // direction) and the way to the point (minus L).
        vt_float cosine = dot(*L, li.direction);
        if (cosine < li.outer)
            return false;
        if (cosine < li.inner && li.inner > li.outer)
            s *= (cosine - li.outer) / (li.inner - li.outer);
    }
    *strength = s;
    return true;
}

vt_float specular(const sr_lighting &l, const sr_surface &surf, const vt_vector3 &L, const vt_vector3 &p,
                  const vt_vector3 &n) {
    vt_vector3 eye = l.parallel ? vt_vector3{{0, 0, 1}} : unit({{-p.v[0], -p.v[1], -p.v[2]}});
    vt_vector3 h = unit({{L.v[0] + eye.v[0], L.v[1] + eye.v[1], L.v[2] + eye.v[2]}});
    vt_float nh = dot(n, h);
    if (!(nh > 0))
        return 0;
    return surf.ks * std::pow(nh, surf.power);
}

} // namespace

void SrLightingPrepare(sr_lighting *l, const sr_state &s) {
    l->n = 0;
    l->ambient = {{0, 0, 0}};
    bool anyAmbient = false;
    l->parallel = s.matrix.view_to_screen_hint == VTT_PARALLEL;
    l->directional = true;
    for (const sr_light &src : s.light) {
        if (src.type == VTT_AMBIENT) {
            vt_vector3 c = colourOf(src.colour);
            for (int i = 0; i < 3; i++)
                l->ambient.v[i] += c.v[i];
            anyAmbient = true;
            continue;
        }
        if (src.type != VTT_DIRECT && src.type != VTT_POINT && src.type != VTT_SPOT)
            continue;
        sr_lit_light &d = l->light[l->n++];
        d.type = src.type;
        l->directional = l->directional && src.type == VTT_DIRECT;
        d.colour = colourOf(src.colour);
        d.bright = brightest(d.colour);
        d.position = src.position;
        d.direction = unit(src.direction);
        d.c = src.att_c;
        d.l = src.att_l;
        d.q = src.att_q;
        d.outer = src.spot_outer;
        d.inner = src.spot_inner;
    }
    if (!anyAmbient)
        l->ambient = {{1, 1, 1}};
    l->ambient_bright = brightest(l->ambient);
}

namespace {

// Calls f(light, diffuse factor, specular factor) for each light that
// reaches the point: kd N.L and ks (N.H)^power, times its strength there.
template <class F>
void eachLight(const sr_lighting &l, const sr_surface &surf, const vt_vector3 &p, const vt_vector3 &n, F f) {
    for (int i = 0; i < l.n; i++) {
        const sr_lit_light &li = l.light[i];
        vt_vector3 L;
        vt_float s;
        if (!towards(li, p, &L, &s))
            continue;
        vt_float nl = dot(n, L);
        if (!(nl > 0))
            continue;
        f(li, surf.kd * nl * s, surf.ks > 0 ? specular(l, surf, L, p, n) * s : 0);
    }
}

} // namespace

// The least light a lit surface keeps: the first step of a 32-entry
// ramp, where an INDEX_8 target draws a face no light reaches. Below it a
// face turned from every light would vanish into black space.
constexpr vt_float kLeastLight = 1.0f / 32;

void SrLightRGB(vt_float rgb[3], const sr_lighting &l, const sr_surface &surf, const vt_float base[3],
                const vt_vector3 &p, const vt_vector3 &n) {
    vt_float diffuse[3] = {surf.ka * l.ambient.v[0], surf.ka * l.ambient.v[1], surf.ka * l.ambient.v[2]};
    if (l.directional && !(surf.ks > 0)) {
        // Diffuse light that shines one way: the most common lighting,
        // worth its own short loop.
        for (int i = 0; i < l.n; i++) {
            const sr_lit_light &li = l.light[i];
            const vt_float nl = dot(n, li.direction);
            if (nl > 0)
                for (int c = 0; c < 3; c++)
                    diffuse[c] += surf.kd * nl * li.colour.v[c];
        }
        for (int c = 0; c < 3; c++)
            rgb[c] = std::clamp(base[c] * std::max(diffuse[c], kLeastLight), 0.0f, 1.0f);
        return;
    }
    vt_float shine[3] = {0, 0, 0};
    eachLight(l, surf, p, n, [&](const sr_lit_light &li, vt_float kd, vt_float ks) {
        for (int c = 0; c < 3; c++) {
            diffuse[c] += kd * li.colour.v[c];
            shine[c] += ks * li.colour.v[c];
        }
    });
    for (int c = 0; c < 3; c++)
        rgb[c] = std::clamp(base[c] * std::max(diffuse[c], kLeastLight) + shine[c], 0.0f, 1.0f);
}

vt_float SrLightIntensity(const sr_lighting &l, const sr_surface &surf, const vt_vector3 &p, const vt_vector3 &n) {
    vt_float i = surf.ka * l.ambient_bright;
    eachLight(l, surf, p, n, [&](const sr_lit_light &li, vt_float kd, vt_float ks) { i += (kd + ks) * li.bright; });
    return i > 0 ? i : 0;
}
