// Drawing a prepared model: per group, the faces that face the eye pick
// the vertices worth transforming and lighting; faces inside the view
// volume go straight to the rasteriser, the others are clipped first. In
// a z-sort scene the same primitives go into the order table's buckets.
#include <cmath>
#include <cstring>

#include "render/drivers/srstate.h"

namespace {

// What stays the same for every group of one draw.
struct draw_ctx {
    sr_renderer *r;
    const sr_state *s;
    sr_target target;
    bool buckets;
    vt_matrix4 m2s;
    vt_matrix34 m2v;
    vt_float normal[3][3]; // model normals to view normals (row vectors)
    bool normalise;
    vt_vector4 planes[SR_PLANES];
    vt_uint_32 mask;
    sr_lighting lighting;
    bool lighting_ready;
    vt_vector3 eye; // model space: the eye point, or the direction to the viewer for a parallel camera
    bool parallel;
    vt_float hw, hh;
    bool bounds;
    vt_float bmin[2], bmax[2];
};

// Per-vertex working store of a group.
enum : vt_uint_8 { V_USED = 1, V_DONE = 2 };
struct vertex_work {
    sr_cvert *clip;
    sr_svert *screen;
    vt_uint_32 *outcode;
    vt_uint_8 *flags;
    vt_uint_32 *faces; // face numbers to draw; bit 31: lit from behind
    vt_uint_8 *edges;  // edges drawn (one byte each)
};

// How a group is coloured.
struct group_shading {
    const sr_material_parts *m;
    bool textured;
    bool shaded; // an indexed map lit through its shade table on an RGB565 target: levels as on INDEX_8
    bool lit, geometry;
    bool per_vertex;  // colour at each vertex (smooth)
    bool per_face;    // colour of each face (flat, lit or pre-lit)
    sr_flat constant; // otherwise
    vt_float surface[3];
    bool position; // the view-space position matters (buckets, lights that are not all direct, shine)
};

vt_float byteOf(vt_uint_32 c, int shift) { return vt_float((c >> shift) & 0xFF); }

bool ensureScratch(sr_renderer *r, vt_size size) {
    if (r->scratch_size >= size)
        return true;
    if (r->scratch)
        VtResFree(r->scratch);
    r->scratch = VtResAllocate(r, size, VT_RES_OBJECT_DATA);
    r->scratch_size = r->scratch ? size : 0;
    return r->scratch != nullptr;
}

template <class T> T *carve(vt_uint_8 *&p, vt_size n) {
    T *t = reinterpret_cast<T *>(p);
    p += (n * sizeof(T) + 15) & ~vt_size(15);
    return t;
}

vt_size workSize(vt_size nv, vt_size nf, vt_size ne) {
    auto round = [](vt_size b) { return (b + 15) & ~vt_size(15); };
    return round(nv * sizeof(sr_cvert)) + round(nv * sizeof(sr_svert)) + round(nv * 4) + round(nv) + round(nf * 4) +
           round(ne) + 16;
}

// ---- Drawing state of a group ------------------------------------------------------

vt_uint_8 wrapOf(vt_token t) { return t == VTT_CLAMP ? SR_CLAMP : t == VTT_MIRROR ? SR_MIRROR : SR_WRAP; }

vt_uint_8 blendOf(vt_token t) {
    switch (t) {
    case VTT_BLEND_SUMMED:
        return SR_BLEND_SUMMED;
    case VTT_BLEND_DIMMED:
        return SR_BLEND_DIMMED;
    case VTT_BLEND_PREMULTIPLIED:
        return SR_BLEND_PREMULTIPLIED;
    default:
        return SR_BLEND_STANDARD;
    }
}

void setTexture(sr_paint *p, const draw_ctx &c, const sr_primitive &prim) {
    sr_buffer *b = SrBufferOf(prim.colour_map);
    const vt_pixelmap *pm = b ? b->pm : nullptr;
    if (pm == nullptr || pm->pixels == nullptr || pm->width == 0 || pm->height == 0)
        return;
    vt_uint_8 kind = SR_TEX_NONE;
    int bytes = 2;
    switch (pm->type) {
    case VT_PMT_INDEX_8:
        kind = SR_TEX_INDEX;
        bytes = 1;
        break;
    case VT_PMT_RGB_565:
        kind = SR_TEX_565;
        break;
    case VT_PMT_ARGB_4444:
        kind = SR_TEX_4444;
        break;
    default:
        return;
    }
    p->tex = kind;
    p->texels = static_cast<const vt_uint_8 *>(pm->pixels) + ptrdiff_t(pm->base_y) * pm->row_bytes +
                ptrdiff_t(pm->base_x) * bytes;
    p->tex_row = pm->row_bytes;
    p->tex_w = pm->width;
    p->tex_h = pm->height;
    p->lut = b->has_lut ? b->lut : c.r->fallback_lut;
}

void setShadeTable(sr_paint *p, const sr_primitive &prim) {
    sr_buffer *b = SrBufferOf(prim.index_shade);
    const vt_pixelmap *pm = b ? b->pm : nullptr;
    if (pm == nullptr || pm->pixels == nullptr || pm->type != VT_PMT_INDEX_8 || pm->width < 256 || pm->height < 64)
        return;
    p->shade_table = static_cast<const vt_uint_8 *>(pm->pixels) + ptrdiff_t(pm->base_y) * pm->row_bytes + pm->base_x;
    p->shade_row = pm->row_bytes;
}

void makePaint(sr_paint *p, const draw_ctx &c, const sr_material_parts &m, bool textures) {
    const sr_primitive &prim = *m.prim;
    memset(p, 0, sizeof *p);
    p->target = c.target.type;
    p->wrap_u = wrapOf(prim.width_limit);
    p->wrap_v = wrapOf(prim.height_limit);
    p->depth_test = prim.depth_test;
    p->depth_write = prim.depth_write ? 1 : 0;
    p->perspective = prim.perspective || prim.perspective_type == VTT_SUBDIVIDE;
    if (textures)
        setTexture(p, c, prim);
    vt_float o = prim.opacity > 1 ? prim.opacity / 255 : prim.opacity;
    o = o >= 0 ? (o <= 1 ? o : 1) : (o < 0 ? 0 : 1);
    p->opacity = int(o * 256);
    if (p->target == VT_PMT_RGB_565 && (prim.blend || prim.blend_mode != VTT_BLEND_STANDARD || p->tex == SR_TEX_4444))
        p->blend = blendOf(prim.blend_mode);
    p->index_base = prim.index_base;
    p->index_range = prim.index_range;
    // The texels of an indexed map without a palette of its own are places
    // on the shared palette's ramps, lit through the shade table on either
    // target; a map with its palette is a picture, lit in RGB.
    if (p->target == VT_PMT_INDEX_8 || (p->tex == SR_TEX_INDEX && p->lut == c.r->fallback_lut))
        setShadeTable(p, prim);
}

// ---- Colour -----------------------------------------------------------------------------

void lightingReady(draw_ctx &c) {
    if (!c.lighting_ready)
        SrLightingPrepare(&c.lighting, *c.s);
    c.lighting_ready = true;
}

vt_float brightest(const vt_float *v) {
    vt_float m = v[0] > v[1] ? v[0] : v[1];
    return m > v[2] ? m : v[2];
}

// The colour at a point: RGB 0..255 (a texel's scale when textured), or
// on INDEX_8 targets (and for shaded maps) the index (untextured) or the
// shade level.
void colourAt(sr_flat *out, draw_ctx &c, const group_shading &g, const vt_vector3 &p, const vt_vector3 &n,
              vt_uint_32 geometry_colour) {
    const sr_surface &surf = *g.m->surf;
    if (c.target.type == VT_PMT_RGB_565 && !g.shaded) {
        vt_float base[3];
        if (g.geometry) {
            base[0] = byteOf(geometry_colour, 16) / 255;
            base[1] = byteOf(geometry_colour, 8) / 255;
            base[2] = byteOf(geometry_colour, 0) / 255;
        } else {
            for (int k = 0; k < 3; k++)
                base[k] = g.textured ? 1.0f : g.surface[k];
        }
        vt_float rgb[3] = {base[0], base[1], base[2]};
        if (g.lit)
            SrLightRGB(rgb, c.lighting, surf, base, p, n);
        for (int k = 0; k < 3; k++)
            out->c[k] = rgb[k] * 255;
        return;
    }
    const sr_primitive &prim = *g.m->prim;
    vt_float v;
    if (g.lit) {
        vt_float i = SrLightIntensity(c.lighting, surf, p, n);
        v = g.textured ? i * 32 : prim.index_base + (i < 1 ? i : 1) * prim.index_range;
    } else if (g.geometry) {
        v = byteOf(geometry_colour, 24) / (g.textured ? 4 : 1);
    } else {
        v = g.textured ? 32 : prim.index_base + brightest(g.surface) * prim.index_range;
    }
    out->c[0] = out->c[1] = out->c[2] = v;
}

void shadingOf(group_shading *g, draw_ctx &c, const sr_material_parts &m, const sr_paint &paint, bool faces) {
    g->m = &m;
    g->textured = paint.tex != SR_TEX_NONE;
    g->lit = m.surf->lighting != 0;
    g->geometry = m.surf->colour_source == VTT_GEOMETRY;
    for (int k = 0; k < 3; k++)
        g->surface[k] = byteOf(m.surf->colour, 16 - 8 * k) / 255;
    const bool varies = g->lit || g->geometry;
    const bool raw = g->textured && !m.prim->modulate;
    g->shaded = c.target.type == VT_PMT_RGB_565 && paint.tex == SR_TEX_INDEX && paint.shade_table && !raw;
    g->per_vertex = !raw && varies && (m.prim->smooth || !faces);
    g->per_face = !raw && varies && !g->per_vertex;
    if (g->lit)
        lightingReady(c);
    g->position = c.buckets || (g->lit && (!c.lighting.directional || m.surf->ks > 0));
    const vt_vector3 zero = {{0, 0, 0}};
    colourAt(&g->constant, c, *g, zero, zero, 0);
}

vt_uint_8 shadeMode(const group_shading &g) {
    if (g.per_vertex)
        return SR_SHADE_SMOOTH;
    if (g.textured && !g.per_face && !g.m->prim->modulate)
        return SR_SHADE_NONE;
    return SR_SHADE_FLAT;
}

// ---- Vertices -----------------------------------------------------------------------------

void toView(vt_vector3 *out, const vt_vector3 &p, const vt_matrix34 &m) {
    for (int j = 0; j < 3; j++)
        out->v[j] = p.v[0] * m.m[0][j] + p.v[1] * m.m[1][j] + p.v[2] * m.m[2][j] + m.m[3][j];
}

void normalToView(vt_vector3 *out, const vt_vector3 &n, const draw_ctx &c, bool reverse) {
    for (int j = 0; j < 3; j++)
        out->v[j] = n.v[0] * c.normal[0][j] + n.v[1] * c.normal[1][j] + n.v[2] * c.normal[2][j];
    if (c.normalise) {
        vt_float l = std::sqrt(out->v[0] * out->v[0] + out->v[1] * out->v[1] + out->v[2] * out->v[2]);
        if (l > 1e-20f)
            for (vt_float &v : out->v)
                v /= l;
    }
    if (reverse)
        for (vt_float &v : out->v)
            v = -v;
}

bool finite(const sr_svert &v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.q);
}

// A vertex that passed every plane but has no place on the screen.
constexpr vt_uint_32 SR_OUT_UNPROJECTED = 0x80000000u;

void project(sr_svert *s, const sr_cvert &v, const draw_ctx &c) {
    const vt_float q = 1 / v.w;
    s->x = v.x * q * c.hw + c.hw;
    s->y = -v.y * q * c.hh + c.hh;
    s->z = v.z * q * -32767.0f;
    s->q = q;
    s->u = v.u;
    s->v = v.v;
    s->c[0] = v.c[0];
    s->c[1] = v.c[1];
    s->c[2] = v.c[2];
    s->vz = v.vz;
}

void processVertex(draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, const sr_paint &paint,
                   vertex_work &w, int i) {
    const vt_prepared_vertex &pv = g.vertices[i];
    const vt_matrix4 &m = c.m2s;
    sr_cvert &cv = w.clip[i];
    const vt_float x = pv.p.v[0], y = pv.p.v[1], z = pv.p.v[2];
    cv.x = x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0];
    cv.y = x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1];
    cv.z = x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2];
    cv.w = x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + m.m[3][3];
    vt_vector3 view = {{0, 0, 0}};
    if (gs.position)
        toView(&view, pv.p, c.m2v);
    cv.vz = -view.v[2];
    if (gs.textured) {
        const vt_matrix23 &mm = gs.m->surf->map_matrix;
        const vt_float u = pv.map.v[0], v = pv.map.v[1];
        cv.u = (u * mm.m[0][0] + v * mm.m[1][0] + mm.m[2][0]) * vt_float(paint.tex_w);
        cv.v = (u * mm.m[0][1] + v * mm.m[1][1] + mm.m[2][1]) * vt_float(paint.tex_h);
    } else {
        cv.u = cv.v = 0;
    }
    if (gs.per_vertex) {
        vt_vector3 n;
        if (gs.lit)
            normalToView(&n, pv.n, c, false);
        sr_flat col;
        colourAt(&col, c, gs, view, n, g.vertex_colours ? g.vertex_colours[i] : 0);
        cv.c[0] = col.c[0];
        cv.c[1] = col.c[1];
        cv.c[2] = col.c[2];
    } else {
        cv.c[0] = cv.c[1] = cv.c[2] = 0;
    }
    vt_uint_32 o = SrOutcode(&cv.x, c.planes, c.mask);
    if (o == 0) {
        project(&w.screen[i], cv, c);
        // Inside every plane yet not on the screen (w = 0): its faces go
        // the clipping way, which drops what cannot be drawn.
        if (!finite(w.screen[i]))
            o = SR_OUT_UNPROJECTED;
    }
    w.outcode[i] = o;
    w.flags[i] |= V_DONE;
}

void processUsed(draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, const sr_paint &paint,
                 vertex_work &w) {
    for (int i = 0; i < g.nvertices; i++)
        if ((w.flags[i] & (V_USED | V_DONE)) == V_USED)
            processVertex(c, g, gs, paint, w, i);
}

// ---- Output ----------------------------------------------------------------------------------

void grow(draw_ctx &c, const sr_svert &v) {
    if (!c.bounds)
        return;
    c.bmin[0] = v.x < c.bmin[0] ? v.x : c.bmin[0];
    c.bmin[1] = v.y < c.bmin[1] ? v.y : c.bmin[1];
    c.bmax[0] = v.x > c.bmax[0] ? v.x : c.bmax[0];
    c.bmax[1] = v.y > c.bmax[1] ? v.y : c.bmax[1];
}

// Where drawing goes: the target now, or the heap with a copy of the
// paint made at the group's first primitive.
struct sink {
    draw_ctx *c;
    const sr_paint *paint;
    const sr_paint *heap_paint;
    bool heap_tried;

    const sr_paint *forHeap() {
        if (!heap_tried) {
            heap_paint = SrHeapPaint(c->s->hidden.heap, *paint);
            heap_tried = true;
        }
        return heap_paint;
    }

    // A face all of whose corners were projected (and found finite).
    void triangle(const sr_svert *a, const sr_svert *b, const sr_svert *cc, const sr_flat &flat) {
        if (c->buckets || c->bounds) {
            const sr_svert v[3] = {*a, *b, *cc};
            polygon(v, 3, flat);
            return;
        }
        SrTriangle(c->target, *paint, a, b, cc, flat);
    }

    void polygon(const sr_svert *v, int n, const sr_flat &flat) {
        for (int k = 0; k < n; k++)
            if (!finite(v[k]))
                return;
        for (int k = 0; k < n; k++)
            grow(*c, v[k]);
        if (c->buckets) {
            SrBucketInsert(c->s->hidden, forHeap(), SR_PRIM_POLYGON, v, n, flat);
            return;
        }
        for (int k = 1; k + 1 < n; k++)
            SrTriangle(c->target, *paint, &v[0], &v[k], &v[k + 1], flat);
    }

    void line(const sr_svert &a, const sr_svert &b, const sr_flat &flat) {
        if (!finite(a) || !finite(b))
            return;
        grow(*c, a);
        grow(*c, b);
        if (c->buckets) {
            const sr_svert v[2] = {a, b};
            SrBucketInsert(c->s->hidden, forHeap(), SR_PRIM_LINE, v, 2, flat);
            return;
        }
        SrLine(c->target, *paint, &a, &b, flat);
    }

    void point(const sr_svert &a, const sr_flat &flat) {
        if (!finite(a))
            return;
        grow(*c, a);
        if (c->buckets) {
            SrBucketInsert(c->s->hidden, forHeap(), SR_PRIM_POINT, &a, 1, flat);
            return;
        }
        SrPoint(c->target, *paint, &a, flat);
    }
};

// ---- Faces, edges, points ----------------------------------------------------------------

bool validFace(const vt_prepared_face &f, int nv) {
    return f.vertices[0] < nv && f.vertices[1] < nv && f.vertices[2] < nv;
}

// The colour of a face lit (or pre-lit) as a whole.
void faceColour(sr_flat *out, draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, int f,
                bool reverse) {
    const vt_prepared_face &face = g.faces[f];
    vt_vector3 centre = {{0, 0, 0}};
    for (int k = 0; k < 3; k++)
        for (int j = 0; j < 3; j++)
            centre.v[j] += g.vertices[face.vertices[k]].p.v[j] / 3;
    vt_vector3 view, n;
    toView(&view, centre, c.m2v);
    const vt_vector3 fn = {{face.eqn.v[0], face.eqn.v[1], face.eqn.v[2]}};
    normalToView(&n, fn, c, reverse);
    colourAt(out, c, gs, view, n, g.face_colours ? g.face_colours[f] : 0);
}

// A face's corner with its colour lit from behind (two-sided smooth faces).
void relight(sr_cvert *cv, draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, int vi) {
    vt_vector3 view, n;
    toView(&view, g.vertices[vi].p, c.m2v);
    normalToView(&n, g.vertices[vi].n, c, true);
    sr_flat col;
    colourAt(&col, c, gs, view, n, g.vertex_colours ? g.vertex_colours[vi] : 0);
    for (int k = 0; k < 3; k++)
        cv->c[k] = col.c[k];
}

void drawFaces(draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, const sr_paint &paint,
               vertex_work &w, sink &out) {
    const sr_cull &cull = *gs.m->cull;
    const sr_surface &surf = *gs.m->surf;
    const bool forced = surf.force_front || surf.force_back;
    const bool culling = cull.type == VTT_ONE_SIDED && !forced;
    const bool twoSided = cull.type == VTT_TWO_SIDED && !forced;
    int nvis = 0;
    for (int f = 0; f < g.nfaces; f++) {
        const vt_prepared_face &face = g.faces[f];
        if (!validFace(face, g.nvertices))
            continue;
        const vt_float facing = face.eqn.v[0] * c.eye.v[0] + face.eqn.v[1] * c.eye.v[1] +
                                face.eqn.v[2] * c.eye.v[2] - (c.parallel ? 0 : face.eqn.v[3]);
        const bool front = facing > 0;
        if (culling && !front)
            continue;
        const bool reverse = surf.force_back || (twoSided && !front);
        w.faces[nvis++] = vt_uint_32(f) | (reverse ? 0x80000000u : 0);
        for (int k = 0; k < 3; k++)
            w.flags[face.vertices[k]] |= V_USED;
    }
    processUsed(c, g, gs, paint, w);
    for (int i = 0; i < nvis; i++) {
        const int f = int(w.faces[i] & 0x7FFFFFFF);
        const bool reverse = (w.faces[i] & 0x80000000u) != 0;
        const vt_prepared_face &face = g.faces[f];
        const int ia = face.vertices[0], ib = face.vertices[1], ic = face.vertices[2];
        const vt_uint_32 oa = w.outcode[ia], ob = w.outcode[ib], oc = w.outcode[ic];
        if (oa & ob & oc)
            continue;
        sr_flat flat = gs.constant;
        if (gs.per_face)
            faceColour(&flat, c, g, gs, f, reverse);
        const bool relit = reverse && gs.per_vertex && gs.lit;
        if ((oa | ob | oc) == 0 && !relit) {
            out.triangle(&w.screen[ia], &w.screen[ib], &w.screen[ic], flat);
            continue;
        }
        sr_cvert in[3] = {w.clip[ia], w.clip[ib], w.clip[ic]};
        if (relit)
            for (int k = 0; k < 3; k++)
                relight(&in[k], c, g, gs, face.vertices[k]);
        sr_cvert clipped[SR_MAX_POLY];
        const vt_uint_32 planes = (oa | ob | oc) & c.mask;
        const int n = planes ? SrClipPolygon(clipped, in, 3, c.planes, planes) : 3;
        const sr_cvert *src = planes ? clipped : in;
        sr_svert v[SR_MAX_POLY];
        for (int k = 0; k < n; k++)
            project(&v[k], src[k], c);
        if (n >= 3)
            out.polygon(v, n, flat);
    }
}

void drawEdges(draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, const sr_paint &paint,
               vertex_work &w, sink &out) {
    for (int f = 0; f < g.nfaces; f++) {
        const vt_prepared_face &face = g.faces[f];
        if (!validFace(face, g.nvertices))
            continue;
        for (int k = 0; k < 3; k++)
            w.flags[face.vertices[k]] |= V_USED;
    }
    processUsed(c, g, gs, paint, w);
    memset(w.edges, 0, g.nedges);
    for (int f = 0; f < g.nfaces; f++) {
        const vt_prepared_face &face = g.faces[f];
        if (!validFace(face, g.nvertices))
            continue;
        for (int k = 0; k < 3; k++) {
            const vt_uint_16 e = face.edges[k];
            if (e == 0 || e >= g.nedges || w.edges[e])
                continue;
            w.edges[e] = 1;
            const int ia = face.vertices[k], ib = face.vertices[(k + 1) % 3];
            const vt_uint_32 oa = w.outcode[ia], ob = w.outcode[ib];
            if (oa & ob)
                continue;
            if ((oa | ob) == 0) {
                out.line(w.screen[ia], w.screen[ib], gs.constant);
                continue;
            }
            sr_cvert a = w.clip[ia], b = w.clip[ib];
            if (!SrClipLine(&a, &b, c.planes, (oa | ob) & c.mask))
                continue;
            sr_svert sa, sb;
            project(&sa, a, c);
            project(&sb, b, c);
            out.line(sa, sb, gs.constant);
        }
    }
}

void drawPoints(draw_ctx &c, const vt_prepared_group &g, const group_shading &gs, const sr_paint &paint,
                vertex_work &w, sink &out) {
    for (int i = 0; i < g.nvertices; i++) {
        processVertex(c, g, gs, paint, w, i);
        if (w.outcode[i] == 0)
            out.point(w.screen[i], gs.constant);
    }
}

// ---- A draw ------------------------------------------------------------------------------------

// Rows of unit length at right angles to each other.
bool rigid(const vt_matrix34 &m) {
    for (int i = 0; i < 3; i++)
        for (int j = i; j < 3; j++) {
            const vt_float d = m.m[i][0] * m.m[j][0] + m.m[i][1] * m.m[j][1] + m.m[i][2] * m.m[j][2];
            if (!(std::fabs(d - (i == j ? 1.0f : 0.0f)) < 1e-5f))
                return false;
        }
    return true;
}

bool prepare(draw_ctx &c) {
    const sr_state &s = *c.s;
    c.m2v = s.matrix.model_to_view;
    VtMatrix4Mul34(&c.m2s, &c.m2v, &s.matrix.view_to_screen);
    c.mask = SrPlanes(c.planes, s);
    vt_matrix34 inv;
    if (VtMatrix34Inverse(&inv, &c.m2v) == 0)
        return false; // a flattened model shows nothing
    c.parallel = s.matrix.view_to_screen_hint == VTT_PARALLEL;
    if (c.parallel)
        VtVector3Set(&c.eye, inv.m[2][0], inv.m[2][1], inv.m[2][2]);
    else
        VtVector3Set(&c.eye, inv.m[3][0], inv.m[3][1], inv.m[3][2]);
    // Normals go through the inverse transpose; a length-preserving matrix
    // is its own, whether or not its hint says so.
    const bool lp = s.matrix.model_to_view_hint == VTT_LENGTH_PRESERVING || rigid(c.m2v);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            c.normal[i][j] = lp ? c.m2v.m[i][j] : inv.m[j][i];
    c.normalise = !lp;
    c.lighting_ready = false;
    c.hw = vt_float(c.target.width / 2);
    c.hh = vt_float(c.target.height / 2);
    c.bounds = s.enable.bounds != 0;
    c.bmin[0] = c.bmin[1] = 3.4e38f;
    c.bmax[0] = c.bmax[1] = -3.4e38f;
    return true;
}

bool bucketMode(const sr_state &s) {
    return s.hidden.type == VTT_BUCKET_SORT && s.hidden.divert == VTT_ALL && s.hidden.order_table &&
           s.hidden.heap && s.hidden.heap->base;
}

sr_material_parts partsOf(const sr_state &current, vt_renderer_state_stored *stored, vt_renderer_state_stored *dflt) {
    const sr_stored_state *ss = SrStoredOf(stored);
    if (ss == nullptr)
        ss = SrStoredOf(dflt);
    const sr_state &st = ss ? ss->state : current;
    return sr_material_parts{&st.prim, &st.surf, &st.cull};
}

} // namespace

bool SrTargetOf(sr_target *t, const sr_output &out, bool use_depth) {
    const vt_pixelmap *pm = out.colour;
    if (pm == nullptr || pm->pixels == nullptr || pm->width == 0 || pm->height == 0 ||
        (pm->dispatch != nullptr && pm->dispatch != &vtDevicePixelmapMemDispatch))
        return false;
    int bytes;
    if (pm->type == VT_PMT_RGB_565)
        bytes = 2;
    else if (pm->type == VT_PMT_INDEX_8)
        bytes = 1;
    else
        return false;
    t->type = pm->type;
    t->colour = static_cast<vt_uint_8 *>(pm->pixels) + ptrdiff_t(pm->base_y) * pm->row_bytes +
                ptrdiff_t(pm->base_x) * bytes;
    t->colour_row = pm->row_bytes;
    t->width = pm->width;
    t->height = pm->height;
    t->depth = nullptr;
    t->depth_row = 0;
    const vt_pixelmap *d = use_depth ? out.depth : nullptr;
    if (d && d->pixels && d->type == VT_PMT_DEPTH_16 && d->width >= pm->width && d->height >= pm->height &&
        (d->dispatch == nullptr || d->dispatch == &vtDevicePixelmapMemDispatch)) {
        t->depth = static_cast<vt_uint_8 *>(d->pixels) + ptrdiff_t(d->base_y) * d->row_bytes + ptrdiff_t(d->base_x) * 2;
        t->depth_row = d->row_bytes;
    }
    return true;
}

vt_uint_32 SrPlanes(vt_vector4 planes[SR_PLANES], const sr_state &s) {
    static const vt_vector4 kFrustum[6] = {
        {{1, 0, 0, 1}}, {{-1, 0, 0, 1}}, {{0, 1, 0, 1}}, {{0, -1, 0, 1}}, {{0, 0, -1, 1}}, {{0, 0, 1, 1}},
    };
    vt_uint_32 mask = 0x3F;
    for (int i = 0; i < 6; i++)
        planes[i] = kFrustum[i];
    for (int i = 0; i < SR_CLIPS; i++) {
        planes[6 + i] = s.clip[i].plane;
        if (s.clip[i].type == VTT_PLANE)
            mask |= 1u << (6 + i);
    }
    return mask;
}

void SrModelToScreen(vt_matrix4 *m, const sr_state &s) {
    VtMatrix4Mul34(m, &s.matrix.model_to_view, &s.matrix.view_to_screen);
}

vt_error SrModelRender(vt_renderer *rr, vt_prepared_model *model, vt_renderer_state_stored *default_state,
                       vt_token type) {
    sr_renderer *r = SrRendererOf(rr);
    if (r == nullptr || model == nullptr)
        return VT_E_FAIL;
    draw_ctx c;
    c.r = r;
    c.s = &r->state;
    c.buckets = bucketMode(r->state);
    if (!SrTargetOf(&c.target, r->state.output, !c.buckets))
        return VT_E_OK; // nowhere to draw
    if (!prepare(c))
        return VT_E_OK;
    const bool lines = type == VTT_LINE, points = type == VTT_POINT;
    for (int gi = 0; gi < model->ngroups; gi++) {
        const vt_prepared_group &g = model->groups[gi];
        if (g.nvertices == 0 || g.vertices == nullptr || (g.nfaces && g.faces == nullptr))
            continue;
        if (!ensureScratch(r, workSize(g.nvertices, g.nfaces, g.nedges)))
            return VT_E_NO_MEMORY;
        auto *p = static_cast<vt_uint_8 *>(r->scratch);
        vertex_work w;
        w.clip = carve<sr_cvert>(p, g.nvertices);
        w.screen = carve<sr_svert>(p, g.nvertices);
        w.outcode = carve<vt_uint_32>(p, g.nvertices);
        w.flags = carve<vt_uint_8>(p, g.nvertices);
        w.faces = carve<vt_uint_32>(p, g.nfaces);
        w.edges = carve<vt_uint_8>(p, g.nedges);
        memset(w.flags, 0, g.nvertices);

        const sr_material_parts m = partsOf(r->state, g.stored, default_state);
        sr_paint paint;
        makePaint(&paint, c, m, !lines && !points);
        group_shading gs;
        shadingOf(&gs, c, m, paint, !lines && !points);
        paint.shade = shadeMode(gs);
        sink out{&c, &paint, nullptr, false};
        if (lines)
            drawEdges(c, g, gs, paint, w, out);
        else if (points)
            drawPoints(c, g, gs, paint, w, out);
        else
            drawFaces(c, g, gs, paint, w, out);
    }
    if (c.bounds && c.bmin[0] <= c.bmax[0]) {
        sr_bounds &b = r->state.bounds;
        b.min.v[0] = c.bmin[0] < b.min.v[0] ? c.bmin[0] : b.min.v[0];
        b.min.v[1] = c.bmin[1] < b.min.v[1] ? c.bmin[1] : b.min.v[1];
        b.max.v[0] = c.bmax[0] > b.max.v[0] ? c.bmax[0] : b.max.v[0];
        b.max.v[1] = c.bmax[1] > b.max.v[1] ? c.bmax[1] : b.max.v[1];
    }
    return VT_E_OK;
}
