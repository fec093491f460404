// A driver image for the device tests. It stands alone: everything it
// offers is answered by its own operations, so it needs nothing from the
// program that loads it.
#include <strings.h>

#include <cstring>
#include <new>

#include "render/dev/device.h"
#include "tests/render_driver/testdev.h"

namespace {

struct facility {
    const vt_output_facility_dispatch *dispatch;
    const char *identifier;
    vt_int_32 bits;
};

struct device {
    const vt_object_container_dispatch *dispatch;
    char args[128];
};

device theDevice;
bool begun;

bool nameMatches(const char *pattern, const char *name) {
    return pattern == nullptr || strcmp(pattern, "*") == 0 || strcasecmp(pattern, name) == 0;
}

// A facility matches the pairs it can answer (its pixel depth); the rest
// are passed over.
bool pairsMatch(const facility *f, const vt_token_value *tv) {
    for (; tv && tv->t != VTT_END; tv++)
        if (tv->t == VTT_PIXEL_BITS_I32 && tv->v.i32 != f->bits)
            return false;
    return true;
}

const char *screenIdentifier(vt_object *) { return "testdev screen"; }
vt_token screenType(vt_object *) { return VTT_DEVICE_PIXELMAP; }
void screenFree(vt_object *o) { delete reinterpret_cast<testdev_screen *>(o); }
vt_object_dispatch makeScreenDispatch() {
    vt_object_dispatch d{};
    d.free = screenFree;
    d.identifier = screenIdentifier;
    d.type = screenType;
    return d;
}
const vt_object_dispatch screenDispatch = makeScreenDispatch();

vt_error pixelmapNew(vt_output_facility *self, vt_pixelmap **ppm, vt_token_value *tv) {
    auto *f = reinterpret_cast<facility *>(self);
    auto *s = new (std::nothrow) testdev_screen{};
    if (s == nullptr)
        return VT_E_NO_MEMORY;
    s->dispatch = &screenDispatch;
    strncpy(s->driver_args, theDevice.args, sizeof s->driver_args - 1);
    strncpy(s->facility, f->identifier, sizeof s->facility - 1);
    s->bits = f->bits;
    for (; tv && tv->t != VTT_END; tv++) {
        if (tv->t == VTT_WIDTH_I32)
            s->width = tv->v.i32;
        if (tv->t == VTT_HEIGHT_I32)
            s->height = tv->v.i32;
    }
    *ppm = reinterpret_cast<vt_pixelmap *>(s);
    return VT_E_OK;
}

const char *facilityIdentifier(vt_object *o) { return reinterpret_cast<facility *>(o)->identifier; }
vt_token facilityType(vt_object *) { return VTT_OUTPUT_FACILITY; }
vt_output_facility_dispatch makeFacilityDispatch() {
    vt_output_facility_dispatch d{};
    d.container.object.identifier = facilityIdentifier;
    d.container.object.type = facilityType;
    d.pixelmapNew = pixelmapNew;
    return d;
}
const vt_output_facility_dispatch facilityDispatch = makeFacilityDispatch();

facility facilities[] = {
    {&facilityDispatch, "TESTDEV-8", 8},
    {&facilityDispatch, "TESTDEV-16", 16},
};

const char *deviceIdentifier(vt_object *) { return "TESTDEV"; }
vt_token deviceType(vt_object *) { return VTT_DEVICE; }
void deviceFree(vt_object *) { begun = false; }

vt_error deviceFindMany(vt_object_container *, vt_object **objects, vt_int_32 max, vt_int_32 *pn, vt_token type,
                        const char *pattern, vt_token_value *tv) {
    vt_int_32 n = 0;
    for (facility &f : facilities)
        if ((type == 0 || type == VTT_OUTPUT_FACILITY) && nameMatches(pattern, f.identifier) && pairsMatch(&f, tv) &&
            n < max)
            objects[n++] = reinterpret_cast<vt_object *>(&f);
    *pn = n;
    return VT_E_OK;
}

vt_error deviceFind(vt_object_container *self, vt_object **ph, vt_token type, const char *pattern,
                    vt_token_value *tv) {
    vt_int_32 n = 0;
    deviceFindMany(self, ph, 1, &n, type, pattern, tv);
    return n ? VT_E_OK : VT_E_FAIL;
}

vt_error deviceCount(vt_object_container *self, vt_int_32 *pcount, vt_token type, const char *pattern,
                     vt_token_value *tv) {
    vt_object *all[4];
    return deviceFindMany(self, all, 4, pcount, type, pattern, tv);
}

vt_object_container_dispatch makeDeviceDispatch() {
    vt_object_container_dispatch d{};
    d.object.free = deviceFree;
    d.object.identifier = deviceIdentifier;
    d.object.type = deviceType;
    d.find = deviceFind;
    d.findMany = deviceFindMany;
    d.count = deviceCount;
    return d;
}
const vt_object_container_dispatch deviceDispatch = makeDeviceDispatch();

} // namespace

extern "C" __attribute__((visibility("default"))) vt_device *VtDrv1Begin(const char *arguments) {
    if (begun)
        return nullptr; // one device per image
    if (arguments && strstr(arguments, "refuse"))
        return nullptr;
    begun = true;
    theDevice.dispatch = &deviceDispatch;
    memset(theDevice.args, 0, sizeof theDevice.args);
    if (arguments)
        strncpy(theDevice.args, arguments, sizeof theDevice.args - 1);
    return reinterpret_cast<vt_device *>(&theDevice);
}
