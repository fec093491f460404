// The renderer object: part values, the model-to-view matrix, the state
// stack, stored states and buffers, and the bounds test.
#include <cstring>

#include "render/drivers/srstate.h"

namespace {

vt_pixelmap *standardPalette;

// ---- Stored states ---------------------------------------------------------

void storedFree(vt_object *o) { VtResFree(o); }
vt_token storedType(vt_object *) { return VTT_RENDERER_STATE_STORED; }
vt_boolean storedIsType(vt_object *, vt_token t) { return t == VTT_RENDERER_STATE_STORED; }

// ---- Stored buffers --------------------------------------------------------

void bufferFree(vt_object *o) { VtResFree(o); }
vt_token bufferType(vt_object *) { return VTT_BUFFER_STORED; }
vt_boolean bufferIsType(vt_object *, vt_token t) { return t == VTT_BUFFER_STORED; }

vt_error bufferUpdate(vt_buffer_stored *self, vt_pixelmap *pm, vt_token_value *) {
    sr_buffer *b = SrBufferOf(self);
    if (b == nullptr || pm == nullptr)
        return VT_E_FAIL;
    b->pm = pm;
    SrBufferRefresh(b);
    return VT_E_OK;
}

// ---- The renderer ------------------------------------------------------------

sr_renderer *self(vt_renderer *r) { return reinterpret_cast<sr_renderer *>(r); }

void rendererFree(vt_object *o) { VtResFree(o); }
vt_token rendererType(vt_object *) { return VTT_RENDERER; }
vt_boolean rendererIsType(vt_object *, vt_token t) { return t == VTT_RENDERER; }

void refreshFallbackLut(sr_renderer *r) {
    const vt_pixelmap *colour = r->state.output.colour;
    if (colour && SrPaletteLut(r->fallback_lut, colour->map))
        return;
    if (SrPaletteLut(r->fallback_lut, standardPalette))
        return;
    for (int i = 0; i < 256; i++)
        r->fallback_lut[i] = SrPack565(vt_uint_32(i) * 0x010101u);
}

vt_error stateStoredNew(vt_renderer *rr, vt_renderer_state_stored **pss, vt_uint_32 mask, vt_token_value *) {
    sr_renderer *r = self(rr);
    auto *s = static_cast<sr_stored_state *>(
        VtResAllocate(SrDeviceResource(r->device), sizeof(sr_stored_state), VT_RES_OBJECT_DATA));
    if (s == nullptr)
        return VT_E_NO_MEMORY;
    memset(s, 0, sizeof *s);
    s->dispatch = &srStoredStateDispatch;
    s->identifier = "Stored-State";
    s->device = r->device;
    SrStateDefault(&s->state, ~0u);
    SrStateCopy(&s->state, &r->state, mask);
    s->mask = mask;
    *pss = reinterpret_cast<vt_renderer_state_stored *>(s);
    return VT_E_OK;
}

vt_error bufferStoredNew(vt_renderer *rr, vt_buffer_stored **psb, vt_token use, vt_pixelmap *pm, vt_token_value *) {
    sr_renderer *r = self(rr);
    if (pm == nullptr)
        return VT_E_FAIL;
    auto *b = static_cast<sr_buffer *>(VtResAllocate(SrDeviceResource(r->device), sizeof(sr_buffer), VT_RES_OBJECT_DATA));
    if (b == nullptr)
        return VT_E_NO_MEMORY;
    memset(b, 0, sizeof *b);
    b->dispatch = &srBufferDispatch;
    b->identifier = "Stored-Buffer";
    b->device = r->device;
    b->pm = pm;
    b->use = use;
    SrBufferRefresh(b);
    *psb = reinterpret_cast<vt_buffer_stored *>(b);
    return VT_E_OK;
}

void *part(sr_renderer *r, vt_token p, vt_int_32 index, vt_tv_template **tpl) {
    return SrPartRecord(&r->state, r->templates, p, index, tpl);
}

vt_error partSet(vt_renderer *rr, vt_token p, vt_int_32 index, vt_token t, vt_value value) {
    sr_renderer *r = self(rr);
    vt_tv_template *tpl;
    void *rec = part(r, p, index, &tpl);
    if (rec == nullptr)
        return VT_E_FAIL;
    vt_error e = VtTokenValueSet(rec, nullptr, t, value, tpl);
    if (e == VT_E_OK && p == VTT_OUTPUT && t == VTT_COLOUR_BUFFER_O)
        refreshFallbackLut(r);
    return e;
}

vt_error partSetMany(vt_renderer *rr, vt_token p, vt_int_32 index, vt_token_value *tv, vt_int_32 *pcount) {
    sr_renderer *r = self(rr);
    vt_tv_template *tpl;
    void *rec = part(r, p, index, &tpl);
    if (pcount)
        *pcount = 0;
    if (rec == nullptr)
        return VT_E_FAIL;
    if (tv == nullptr)
        return VT_E_OK;
    vt_int_32 n = 0;
    VtTokenValueSetMany(rec, &n, nullptr, tv, tpl);
    if (pcount)
        *pcount = n;
    if (p == VTT_OUTPUT)
        refreshFallbackLut(r);
    return VT_E_OK;
}

vt_error partQuery(vt_renderer *rr, vt_token p, vt_int_32 index, vt_value *pvalue, void *buffer, vt_size size,
                   vt_token t) {
    sr_renderer *r = self(rr);
    vt_tv_template *tpl;
    void *rec = part(r, p, index, &tpl);
    if (rec == nullptr)
        return VT_E_FAIL;
    return VtTokenValueQuery(pvalue, buffer, size, t, rec, tpl);
}

vt_error partQueryMany(vt_renderer *rr, vt_token p, vt_int_32 index, void *buffer, vt_token_value *tv, vt_size size,
                       vt_int_32 *pcount) {
    sr_renderer *r = self(rr);
    vt_tv_template *tpl;
    void *rec = part(r, p, index, &tpl);
    vt_int_32 n = 0;
    if (rec && tv)
        VtTokenValueQueryMany(tv, buffer, size, &n, rec, tpl);
    if (pcount)
        *pcount = n;
    return rec ? VT_E_OK : VT_E_FAIL;
}

vt_error modelMul(vt_renderer *rr, const vt_matrix34 *m) {
    if (m == nullptr)
        return VT_E_FAIL;
    VtMatrix34Pre(&self(rr)->state.matrix.model_to_view, m);
    return VT_E_OK;
}

vt_error modelInvert(vt_renderer *rr) {
    sr_matrix &mx = self(rr)->state.matrix;
    if (mx.model_to_view_hint == VTT_LENGTH_PRESERVING) {
        VtMatrix34LPInverse(&mx.model_to_view, &mx.model_to_view);
        return VT_E_OK;
    }
    vt_matrix34 inv;
    if (VtMatrix34Inverse(&inv, &mx.model_to_view) == 0)
        return VT_E_FAIL;
    mx.model_to_view = inv;
    return VT_E_OK;
}

vt_error statePush(vt_renderer *rr, vt_uint_32 mask) {
    sr_renderer *r = self(rr);
    if (r->depth >= SR_STACK)
        return VT_E_FAIL;
    SrStateCopy(&r->stack[r->depth], &r->state, mask);
    r->stack_mask[r->depth] = mask;
    r->depth++;
    return VT_E_OK;
}

vt_error statePop(vt_renderer *rr, vt_uint_32 mask) {
    sr_renderer *r = self(rr);
    if (r->depth == 0)
        return VT_E_FAIL;
    r->depth--;
    SrStateCopy(&r->state, &r->stack[r->depth], mask & r->stack_mask[r->depth]);
    if (mask & r->stack_mask[r->depth] & VT_STATE_OUTPUT)
        refreshFallbackLut(r);
    return VT_E_OK;
}

vt_error stateSave(vt_renderer *rr, vt_renderer_state_stored *ss, vt_uint_32 mask) {
    sr_stored_state *s = SrStoredOf(ss);
    if (s == nullptr)
        return VT_E_FAIL;
    SrStateCopy(&s->state, &self(rr)->state, mask);
    s->mask = mask;
    return VT_E_OK;
}

vt_error stateRestore(vt_renderer *rr, vt_renderer_state_stored *ss, vt_uint_32 mask) {
    sr_stored_state *s = SrStoredOf(ss);
    if (s == nullptr)
        return VT_E_FAIL;
    sr_renderer *r = self(rr);
    SrStateCopy(&r->state, &s->state, mask & s->mask);
    if (mask & s->mask & VT_STATE_OUTPUT)
        refreshFallbackLut(r);
    return VT_E_OK;
}

vt_error stateDefault(vt_renderer *rr, vt_uint_32 mask) {
    sr_renderer *r = self(rr);
    SrStateDefault(&r->state, mask);
    if (mask & VT_STATE_OUTPUT)
        refreshFallbackLut(r);
    return VT_E_OK;
}

vt_error boundsTest(vt_renderer *rr, vt_token *presult, const vt_bounds3 *b) {
    const sr_state &s = self(rr)->state;
    if (presult == nullptr || b == nullptr)
        return VT_E_FAIL;
    vt_matrix4 m;
    SrModelToScreen(&m, s);
    vt_vector4 planes[SR_PLANES];
    const vt_uint_32 mask = SrPlanes(planes, s);
    vt_uint_32 all = mask, any = 0;
    for (int i = 0; i < 8; i++) {
        vt_vector3 corner = {{(i & 1) ? b->max.v[0] : b->min.v[0], (i & 2) ? b->max.v[1] : b->min.v[1],
                              (i & 4) ? b->max.v[2] : b->min.v[2]}};
        vt_vector4 c;
        VtMatrix4ApplyP(&c, &corner, &m);
        vt_uint_32 o = SrOutcode(c.v, planes, mask);
        all &= o;
        any |= o;
    }
    *presult = all ? VTT_REJECT : any ? VTT_PARTIAL : VTT_ACCEPT;
    return VT_E_OK;
}

vt_error frameEnd(vt_renderer *, vt_int_32) { return VT_E_OK; }

} // namespace

const vt_object_dispatch srStoredStateDispatch = SrObjectDispatch(storedFree, storedType, storedIsType);

const vt_buffer_stored_dispatch srBufferDispatch = [] {
    vt_buffer_stored_dispatch d{};
    d.object = SrObjectDispatch(bufferFree, bufferType, bufferIsType);
    d.update = bufferUpdate;
    return d;
}();

const vt_renderer_dispatch srRendererDispatch = [] {
    vt_renderer_dispatch d{};
    d.object = SrObjectDispatch(rendererFree, rendererType, rendererIsType);
    d.stateStoredNew = stateStoredNew;
    d.bufferStoredNew = bufferStoredNew;
    d.partSet = partSet;
    d.partSetMany = partSetMany;
    d.partQuery = partQuery;
    d.partQueryMany = partQueryMany;
    d.modelMul = modelMul;
    d.modelInvert = modelInvert;
    d.statePush = statePush;
    d.statePop = statePop;
    d.stateSave = stateSave;
    d.stateRestore = stateRestore;
    d.stateDefault = stateDefault;
    d.boundsTest = boundsTest;
    d.frameEnd = frameEnd;
    return d;
}();

vt_error SrRendererNew(sr_device *dev, vt_renderer **pr, vt_token_value *tv) {
    auto *r = static_cast<sr_renderer *>(VtResAllocate(SrDeviceResource(dev), sizeof(sr_renderer), VT_RES_OBJECT_DATA));
    if (r == nullptr)
        return VT_E_NO_MEMORY;
    memset(static_cast<void *>(r), 0, sizeof *r);
    r->dispatch = &srRendererDispatch;
    r->identifier = "Software-Renderer";
    r->device = dev;
    r->templates = SrDeviceParts(dev);
    SrStateDefault(&r->state, ~0u);
    for (; tv && tv->t != VTT_END; tv++) {
        if (tv->t == VTT_DESTINATION_O)
            r->state.output.colour = static_cast<vt_pixelmap *>(tv->v.p);
        else if (tv->t == VTT_PRIMITIVE_LIBRARY_O)
            r->primitive_library = tv->v.o;
    }
    // A destination that is a driver's own pixelmap is no memory to draw in:
    // the buffers come with each scene.
    if (r->state.output.colour && r->state.output.colour->dispatch != nullptr &&
        r->state.output.colour->dispatch != &vtDevicePixelmapMemDispatch)
        r->state.output.colour = nullptr;
    refreshFallbackLut(r);
    *pr = reinterpret_cast<vt_renderer *>(r);
    return VT_E_OK;
}

void SrBufferRefresh(sr_buffer *b) { b->has_lut = b->pm && SrPaletteLut(b->lut, b->pm->map); }

bool SrPaletteLut(vt_uint_16 lut[256], const vt_pixelmap *pal) {
    if (pal == nullptr || pal->pixels == nullptr || (pal->type != VT_PMT_RGBX_888 && pal->type != VT_PMT_RGBA_8888))
        return false;
    const bool column = pal->width < 256;
    if ((column && pal->height < 256) || pal->width == 0)
        return false;
    const auto *base = static_cast<const vt_uint_8 *>(pal->pixels);
    for (int i = 0; i < 256; i++) {
        const int x = column ? 0 : i, y = column ? i : 0;
        vt_uint_32 c;
        memcpy(&c, base + ptrdiff_t(pal->base_y + y) * pal->row_bytes + ptrdiff_t(pal->base_x + x) * 4, 4);
        lut[i] = SrPack565(c);
    }
    return true;
}

void SoftrendPaletteSet(vt_pixelmap *palette) { standardPalette = palette; }
