#include "recording_renderer.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/dev/device.h"
#include "listed_device.h"
#include "render/pmap/pixelmap.h"

namespace vttest {

namespace {

RecordingRenderer *current;

std::string tokenName(vt_token t) {
    if (t == 0)
        return "0";
    const char *n = VtTokenIdentifier(t);
    return n ? n : std::to_string(t);
}

vt_uint_32 partMask(vt_token part) {
    switch (part) {
    case VTT_SURFACE:
        return VT_STATE_SURFACE;
    case VTT_MATRIX:
        return VT_STATE_MATRIX;
    case VTT_ENABLE:
        return VT_STATE_ENABLE;
    case VTT_CLIP:
        return VT_STATE_CLIP;
    case VTT_LIGHT:
        return VT_STATE_LIGHT;
    case VTT_BOUNDS:
        return VT_STATE_BOUNDS;
    case VTT_CULL:
        return VT_STATE_CULL;
    case VTT_HIDDEN_SURFACE:
        return VT_STATE_HIDDEN_SURFACE;
    case VTT_OUTPUT:
        return VT_STATE_OUTPUT;
    case VTT_PRIMITIVE:
        return VT_STATE_PRIMITIVE;
    default:
        return 0;
    }
}

rec_state within(const rec_state &s, vt_uint_32 mask) {
    rec_state r;
    for (const auto &[k, v] : s)
        if (partMask(std::get<0>(k)) & mask)
            r.emplace(k, v);
    return r;
}

void replaceWithin(rec_state &s, vt_uint_32 mask, const rec_state &with) {
    for (auto it = s.begin(); it != s.end();)
        it = (partMask(std::get<0>(it->first)) & mask) ? s.erase(it) : std::next(it);
    for (const auto &[k, v] : with)
        if (partMask(std::get<0>(k)) & mask)
            s[k] = v;
}

std::string pairsText(const RecordingRenderer *rr, const vt_token_value *tv) {
    std::string s;
    for (; tv && tv->t != VTT_END; tv++) {
        if (!s.empty())
            s += ' ';
        s += tokenName(tv->t) + "=" + rr->describe(tv->t, rr->capture(tv->t, tv->v));
    }
    return s;
}

RecordingRenderer *owner(vt_renderer *r) { return reinterpret_cast<RecordingRenderer::renderer_obj *>(r)->owner; }

// ---- Stored states and buffers ---------------------------------------------

void storedFree(vt_object *o) {
    if (current)
        current->liveStates--;
    delete reinterpret_cast<rec_stored *>(o);
}
vt_token storedType(vt_object *) { return VTT_RENDERER_STATE_STORED; }
const char *storedIdentifier(vt_object *) { return "stored state"; }
const vt_object_dispatch storedDispatch = [] {
    vt_object_dispatch d{};
    d.free = storedFree;
    d.type = storedType;
    d.identifier = storedIdentifier;
    return d;
}();

void bufferFree(vt_object *o) {
    if (current)
        current->liveBuffers--;
    delete reinterpret_cast<rec_buffer *>(o);
}
vt_error bufferUpdate(vt_buffer_stored *self, vt_pixelmap *pm, vt_token_value *tv) {
    if (current)
        current->logCall("bufferUpdate " + current->label(pm) + " " + pairsText(current, tv));
    reinterpret_cast<rec_buffer *>(self)->pm = pm;
    return VT_E_OK;
}
const vt_buffer_stored_dispatch bufferDispatch = [] {
    vt_buffer_stored_dispatch d{};
    d.object.free = bufferFree;
    d.update = bufferUpdate;
    return d;
}();

// ---- The renderer ------------------------------------------------------------

void rendererFree(vt_object *o) {
    RecordingRenderer *rr = reinterpret_cast<RecordingRenderer::renderer_obj *>(o)->owner;
    rr->rendererFreed = true;
    rr->logCall("free renderer");
}

vt_error stateStoredNew(vt_renderer *r, vt_renderer_state_stored **pss, vt_uint_32 mask, vt_token_value *) {
    RecordingRenderer *rr = owner(r);
    auto *s = new rec_stored{&storedDispatch, within(rr->state, mask), mask};
    rr->liveStates++;
    rr->logCall("stateStoredNew " + std::to_string(mask));
    *pss = reinterpret_cast<vt_renderer_state_stored *>(s);
    return VT_E_OK;
}

vt_error bufferStoredNew(vt_renderer *r, vt_buffer_stored **psm, vt_token use, vt_pixelmap *pm, vt_token_value *tv) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("bufferStoredNew " + tokenName(use) + " " + rr->label(pm) + " " + pairsText(rr, tv));
    auto *b = new rec_buffer{&bufferDispatch, pm, use};
    rr->liveBuffers++;
    *psm = reinterpret_cast<vt_buffer_stored *>(b);
    return VT_E_OK;
}

vt_error partSet(vt_renderer *r, vt_token part, vt_int_32 index, vt_token t, vt_value v) {
    RecordingRenderer *rr = owner(r);
    rec_value rv = rr->capture(t, v);
    rr->logCall("set " + tokenName(part) + " " + std::to_string(index) + " " + tokenName(t) + "=" +
                rr->describe(t, rv));
    rr->set(part, index, t, v);
    return VT_E_OK;
}

vt_error partSetMany(vt_renderer *r, vt_token part, vt_int_32 index, vt_token_value *tv, vt_int_32 *pcount) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("setMany " + tokenName(part) + " " + std::to_string(index) + " " + pairsText(rr, tv));
    vt_int_32 n = 0;
    for (; tv && tv->t != VTT_END; tv++, n++)
        rr->set(part, index, tv->t, tv->v);
    if (pcount)
        *pcount = n;
    return VT_E_OK;
}

vt_error partQuery(vt_renderer *r, vt_token part, vt_int_32 index, vt_value *pvalue, void *buffer,
                   vt_size buffer_size, vt_token t) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("query " + tokenName(part) + " " + std::to_string(index) + " " + tokenName(t));
    if (part == VTT_MATRIX && t == VTT_MODEL_TO_VIEW_M34_F) {
        if (buffer_size < sizeof(vt_matrix34))
            return VT_E_OVERFLOW;
        memcpy(buffer, &rr->modelToView, sizeof(vt_matrix34));
        pvalue->p = buffer;
        return VT_E_OK;
    }
    if (part == VTT_BOUNDS && (t == VTT_MIN_V2_F || t == VTT_MAX_V2_F)) {
        if (buffer_size < 2 * sizeof(vt_scalar))
            return VT_E_OVERFLOW;
        memcpy(buffer, t == VTT_MIN_V2_F ? rr->boundsMin : rr->boundsMax, 2 * sizeof(vt_scalar));
        pvalue->p = buffer;
        return VT_E_OK;
    }
    const rec_value *v = rr->value(part, index, t);
    if (v == nullptr)
        return VT_E_UNKNOWN;
    if (!v->data.empty()) {
        if (buffer_size < v->data.size() * sizeof(float))
            return VT_E_OVERFLOW;
        memcpy(buffer, v->data.data(), v->data.size() * sizeof(float));
        pvalue->p = buffer;
    } else {
        *pvalue = v->v;
    }
    return VT_E_OK;
}

vt_error partQueryMany(vt_renderer *r, vt_token part, vt_int_32 index, void *buffer, vt_token_value *tv,
                       vt_size buffer_size, vt_int_32 *pcount) {
    vt_int_32 n = 0;
    for (; tv && tv->t != VTT_END; tv++)
        if (partQuery(r, part, index, &tv->v, buffer, buffer_size, tv->t) == VT_E_OK)
            n++;
    if (pcount)
        *pcount = n;
    return VT_E_OK;
}

std::string matrixText(const vt_matrix34 &m) {
    std::string s = "[";
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) {
            char b[32];
            snprintf(b, sizeof b, "%s%g", (i || j) ? " " : "", double(m.m[i][j]) + 0.0);
            s += b;
        }
    return s + "]";
}

vt_error modelMul(vt_renderer *r, const vt_matrix34 *m) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("modelMul " + matrixText(*m));
    VtMatrix34Pre(&rr->modelToView, m);
    return VT_E_OK;
}

vt_error modelInvert(vt_renderer *r) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("modelInvert");
    vt_matrix34 inv;
    if (VtMatrix34Inverse(&inv, &rr->modelToView) != 0)
        rr->modelToView = inv;
    return VT_E_OK;
}

vt_error statePush(vt_renderer *r, vt_uint_32 mask) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("push " + std::to_string(mask));
    rr->stack.emplace_back(mask, within(rr->state, mask));
    if (mask & VT_STATE_MATRIX)
        rr->matrixStack.push_back(rr->modelToView);
    return VT_E_OK;
}

vt_error statePop(vt_renderer *r, vt_uint_32 mask) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("pop " + std::to_string(mask));
    if (rr->stack.empty() || rr->stack.back().first != mask) {
        rr->logCall("POP WITHOUT MATCHING PUSH");
        return VT_E_FAIL;
    }
    replaceWithin(rr->state, mask, rr->stack.back().second);
    rr->stack.pop_back();
    if (mask & VT_STATE_MATRIX) {
        rr->modelToView = rr->matrixStack.back();
        rr->matrixStack.pop_back();
    }
    return VT_E_OK;
}

vt_error stateSave(vt_renderer *r, vt_renderer_state_stored *ss, vt_uint_32 mask) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("save " + std::to_string(mask));
    auto *s = reinterpret_cast<rec_stored *>(ss);
    s->state = within(rr->state, mask);
    s->mask = mask;
    return VT_E_OK;
}

vt_error stateRestore(vt_renderer *r, vt_renderer_state_stored *ss, vt_uint_32 mask) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("restore " + std::to_string(mask));
    replaceWithin(rr->state, mask, reinterpret_cast<rec_stored *>(ss)->state);
    return VT_E_OK;
}

vt_error stateDefault(vt_renderer *r, vt_uint_32 mask) {
    RecordingRenderer *rr = owner(r);
    rr->logCall("default " + std::to_string(mask));
    replaceWithin(rr->state, mask, rec_state());
    if (mask & VT_STATE_MATRIX)
        VtMatrix34Identity(&rr->modelToView);
    return VT_E_OK;
}

vt_error boundsTest(vt_renderer *r, vt_token *presult, const vt_bounds3 *b) {
    RecordingRenderer *rr = owner(r);
    char text[160];
    snprintf(text, sizeof text, "boundsTest (%g %g %g)-(%g %g %g)", double(b->min.v[0]), double(b->min.v[1]),
             double(b->min.v[2]), double(b->max.v[0]), double(b->max.v[1]), double(b->max.v[2]));
    rr->logCall(text);
    *presult = rr->boundsAnswer;
    return VT_E_OK;
}

vt_error frameEnd(vt_renderer *r, vt_int_32) {
    owner(r)->logCall("frameEnd");
    return VT_E_OK;
}

const vt_renderer_dispatch rendererDispatch = [] {
    vt_renderer_dispatch d{};
    d.object.free = rendererFree;
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

// ---- The facility, the geometry formats and the device -----------------------

struct named_object {
    const void *dispatch;
    vt_token type;
    const char *name;
    RecordingRenderer *owner;
};

const char *namedIdentifier(vt_object *o) { return reinterpret_cast<named_object *>(o)->name; }
vt_token namedType(vt_object *o) { return reinterpret_cast<named_object *>(o)->type; }
vt_object_dispatch namedBase() {
    vt_object_dispatch d{};
    d.identifier = namedIdentifier;
    d.type = namedType;
    return d;
}

vt_error rendererNew(vt_renderer_facility *self, vt_renderer **pr, vt_token_value *tv) {
    RecordingRenderer *rr = reinterpret_cast<named_object *>(self)->owner;
    rr->logCall("rendererNew " + pairsText(rr, tv));
    rr->rendererFreed = false;
    *pr = rr->renderer();
    return VT_E_OK;
}
const vt_renderer_facility_dispatch facilityDispatch = [] {
    vt_renderer_facility_dispatch d{};
    d.object = namedBase();
    d.rendererNew = rendererNew;
    return d;
}();

std::string modelText(RecordingRenderer *rr, vt_prepared_model *pm) {
    std::string l = rr->label(pm);
    if (l != "?")
        return l;
    int nf = 0;
    for (int g = 0; g < pm->ngroups; g++)
        nf += pm->groups[g].nfaces;
    return "groups=" + std::to_string(pm->ngroups) + " faces=" + std::to_string(nf);
}

vt_error modelRender(vt_geometry *self, vt_renderer *, vt_prepared_model *pm, vt_renderer_state_stored *state,
                     vt_token type) {
    RecordingRenderer *rr = reinterpret_cast<named_object *>(self)->owner;
    rr->logCall("render " + modelText(rr, pm) + " " + tokenName(type) + " " + rr->label(state));
    return VT_E_OK;
}
vt_error modelRenderOnScreen(vt_geometry *self, vt_renderer *, vt_prepared_model *pm,
                             vt_renderer_state_stored *state, vt_token type) {
    RecordingRenderer *rr = reinterpret_cast<named_object *>(self)->owner;
    rr->logCall("renderOnScreen " + modelText(rr, pm) + " " + tokenName(type) + " " + rr->label(state));
    return VT_E_OK;
}
vt_error modelStoredNew(vt_geometry *self, vt_renderer *, vt_geometry_stored **, vt_prepared_model *, vt_token,
                        vt_token_value *) {
    reinterpret_cast<named_object *>(self)->owner->logCall("geometryStoredNew");
    return VT_E_UNSUPPORTED;
}
const vt_geometry_v1_model_dispatch modelFormatDispatch = [] {
    vt_geometry_v1_model_dispatch d{};
    d.object = namedBase();
    d.render = modelRender;
    d.renderOnScreen = modelRenderOnScreen;
    d.storedNew = modelStoredNew;
    return d;
}();

vt_error bucketsRender(vt_geometry *self, vt_renderer *, vt_primitive **buckets, vt_int_32 n) {
    RecordingRenderer *rr = reinterpret_cast<named_object *>(self)->owner;
    rr->logCall("renderBuckets " + rr->label(buckets) + " " + std::to_string(n));
    return VT_E_OK;
}
const vt_geometry_v1_buckets_dispatch bucketsFormatDispatch = [] {
    vt_geometry_v1_buckets_dispatch d{};
    d.object = namedBase();
    d.render = bucketsRender;
    return d;
}();
const vt_object_dispatch lightingFormatDispatch = namedBase();

struct rec_device {
    const vt_object_container_dispatch *dispatch;
    std::vector<named_object *> objects;
};

const char *devIdentifier(vt_object *) { return "recording"; }
void devFree(vt_object *o) {
    auto *d = reinterpret_cast<rec_device *>(o);
    for (named_object *n : d->objects)
        delete n;
    delete d;
}
const vt_object_container_dispatch devDispatch = listed_device<rec_device>::dispatch(devFree, devIdentifier);

rec_device *pendingDevice;
vt_device *beginDevice(const char *) { return reinterpret_cast<vt_device *>(pendingDevice); }

} // namespace

RecordingRenderer *RecorderOf(vt_renderer *r) { return owner(r); }

RecordingRenderer::RecordingRenderer(bool with_buckets) {
    current = this;
    rendererObj = renderer_obj{&rendererDispatch, this};
    VtMatrix34Identity(&modelToView);
    auto *dev = new rec_device{&devDispatch, {}};
    dev->objects.push_back(new named_object{&facilityDispatch, VTT_RENDERER_FACILITY, "Default-Renderer-Float", this});
    dev->objects.push_back(new named_object{&modelFormatDispatch, VTT_GEOMETRY_V1_MODEL, "Default-Format-Float", this});
    if (with_buckets)
        dev->objects.push_back(
            new named_object{&bucketsFormatDispatch, VTT_GEOMETRY_V1_BUCKETS, "Default-Format-Float", this});
    dev->objects.push_back(new named_object{&lightingFormatDispatch, VTT_GEOMETRY_LIGHTING, "Default-Format-Float", this});
    pendingDevice = dev;
    VtDevAddStatic(&device_, beginDevice, nullptr);
}

RecordingRenderer::~RecordingRenderer() {
    if (device_ && VtFrameworkRoot())
        VtDevRemove(device_);
    current = nullptr;
}

vt_renderer_facility *RecordingRenderer::facility() {
    vt_object *f = nullptr;
    VtDevContainedFind(&f, VTT_RENDERER_FACILITY, "Default-Renderer-Float", nullptr);
    return reinterpret_cast<vt_renderer_facility *>(f);
}

vt_renderer *RecordingRenderer::renderer() { return reinterpret_cast<vt_renderer *>(&rendererObj); }

std::vector<std::string> RecordingRenderer::take() {
    std::vector<std::string> r;
    r.swap(log_);
    return r;
}

void RecordingRenderer::name(const void *p, const std::string &l) { labels_[p] = l; }

std::string RecordingRenderer::label(const void *p) const {
    if (p == nullptr)
        return "null";
    auto it = labels_.find(p);
    return it == labels_.end() ? "?" : it->second;
}

const rec_value *RecordingRenderer::value(vt_token part, vt_int_32 index, vt_token t) const {
    auto it = state.find(rec_key{part, index, t});
    return it == state.end() ? nullptr : &it->second;
}

const rec_value *RecordingRenderer::storedValue(const vt_renderer_state_stored *ss, vt_token part, vt_int_32 index,
                                                vt_token t) {
    if (ss == nullptr)
        return nullptr;
    const auto *s = reinterpret_cast<const rec_stored *>(ss);
    auto it = s->state.find(rec_key{part, index, t});
    return it == s->state.end() ? nullptr : &it->second;
}

rec_value RecordingRenderer::capture(vt_token t, vt_value v) const {
    rec_value r{v, {}};
    int n = 0;
    switch (VtTokenType(t)) {
    case VTT_VECTOR2_FLOAT:
        n = 2;
        break;
    case VTT_VECTOR3_FLOAT:
        n = 3;
        break;
    case VTT_VECTOR4_FLOAT:
        n = 4;
        break;
    case VTT_MATRIX23_FLOAT:
        n = 6;
        break;
    case VTT_MATRIX34_FLOAT:
        n = 12;
        break;
    case VTT_MATRIX4_FLOAT:
        n = 16;
        break;
    default:
        break;
    }
    if (n && v.p)
        r.data.assign(static_cast<const float *>(v.p), static_cast<const float *>(v.p) + n);
    return r;
}

std::string RecordingRenderer::describe(vt_token t, const rec_value &v) const {
    char b[64];
    switch (VtTokenType(t)) {
    case VTT_TOKEN:
        return tokenName(v.v.t);
    case VTT_FLOAT:
        snprintf(b, sizeof b, "%g", double(v.v.f) + 0.0);
        return b;
    case VTT_COLOUR_RGB:
        snprintf(b, sizeof b, "0x%06x", v.v.u32);
        return b;
    case VTT_OBJECT:
    case VTT_POINTER:
        return label(v.v.p);
    case VTT_VECTOR2_FLOAT:
    case VTT_VECTOR3_FLOAT:
    case VTT_VECTOR4_FLOAT:
    case VTT_MATRIX23_FLOAT:
    case VTT_MATRIX34_FLOAT:
    case VTT_MATRIX4_FLOAT: {
        std::string s = "[";
        for (size_t i = 0; i < v.data.size(); i++) {
            // Rounding noise of a zero prints as zero.
            double d = std::fabs(v.data[i]) < 1e-6f ? 0.0 : double(v.data[i]);
            snprintf(b, sizeof b, "%s%.4g", i ? " " : "", d);
            s += b;
        }
        return s + "]";
    }
    case VTT_INT_32:
    case VTT_INT_8:
    case VTT_INT_16:
        return std::to_string(v.v.i32);
    default:
        return std::to_string(v.v.u32);
    }
}

void RecordingRenderer::set(vt_token part, vt_int_32 index, vt_token t, vt_value v) {
    state[rec_key{part, index, t}] = capture(t, v);
    if (part == VTT_MATRIX && t == VTT_MODEL_TO_VIEW_M34_F && v.p)
        memcpy(&modelToView, v.p, sizeof modelToView);
    if (part == VTT_MATRIX && t == VTT_MODEL_TO_VIEW_HINT_T)
        modelToViewHint = v.t;
}

} // namespace vttest
