// A renderer driver for the scene tests that draws nothing and writes down
// every call the library makes of it, one line a call, with the part
// values it was handed. It keeps its state as the tokens set, so pushes,
// pops, resets and stored states behave as a driver's would, and it does
// the model-to-view arithmetic for the screen queries.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "render/scene/scene.h"

namespace vttest {

// A part value as set: the pair value, and a copy of what it pointed at
// for matrices and vectors.
struct rec_value {
    vt_value v;
    std::vector<float> data;
};

// (part, index, token)
using rec_key = std::tuple<vt_token, vt_int_32, vt_token>;
using rec_state = std::map<rec_key, rec_value>;

struct rec_stored {
    const vt_object_dispatch *dispatch;
    rec_state state;
    vt_uint_32 mask;
};

struct rec_buffer {
    const vt_buffer_stored_dispatch *dispatch;
    vt_pixelmap *pm;
    vt_token use;
};

class RecordingRenderer {
public:
    // Registers a device holding the renderer facility and the geometry
    // formats under the default names (call after VtBegin).
    RecordingRenderer(bool with_buckets = true);
    ~RecordingRenderer();

    vt_renderer_facility *facility();
    // The renderer made by the facility (null until then).
    vt_renderer *renderer();

    // The calls since the last take, then cleared.
    std::vector<std::string> take();
    const std::vector<std::string> &log() const { return log_; }
    // Names printed for objects and records handed to the renderer.
    void name(const void *p, const std::string &label);

    // The current value of a part token (null when never set).
    const rec_value *value(vt_token part, vt_int_32 index, vt_token t) const;
    static const rec_value *storedValue(const vt_renderer_state_stored *ss, vt_token part, vt_int_32 index,
                                        vt_token t);

    // What the renderer answers: the bounds test, and the BOUNDS rectangle.
    vt_token boundsAnswer = VTT_ACCEPT;
    vt_scalar boundsMin[2] = {0, 0}, boundsMax[2] = {0, 0};
    // Counts of live stored objects made by this renderer.
    int liveStates = 0, liveBuffers = 0, liveGeometry = 0;
    bool rendererFreed = false;

    // Internals, reached by the driver's operation tables.
    std::string describe(vt_token t, const rec_value &v) const;
    std::string label(const void *p) const;
    rec_value capture(vt_token t, vt_value v) const;
    void set(vt_token part, vt_int_32 index, vt_token t, vt_value v);
    void logCall(const std::string &line) { log_.push_back(line); }

    struct renderer_obj {
        const vt_renderer_dispatch *dispatch;
        RecordingRenderer *owner;
    };
    renderer_obj rendererObj{};
    rec_state state;
    std::vector<std::pair<vt_uint_32, rec_state>> stack;
    vt_matrix34 modelToView;
    vt_token modelToViewHint = VTT_NONE;
    std::vector<vt_matrix34> matrixStack;

private:
    std::vector<std::string> log_;
    std::map<const void *, std::string> labels_;
    vt_device *device_ = nullptr;
};

// The recorder whose renderer is running (for the operation tables).
RecordingRenderer *RecorderOf(vt_renderer *r);

} // namespace vttest
