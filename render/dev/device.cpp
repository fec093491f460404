// The device table, driver lists and device begin.
#include "render/dev/device.h"

#include <cstdarg>
#include <cstring>
#include <string>

#include "render/config/config.h"
#include "render/fw/fwstate.h"
#include "render/pmap/pixelmap.h"
#include "render/std/stdlib.h"

namespace {

constexpr vt_size kDriversSize = 256;
constexpr vt_size kSetupSize = 512;
constexpr int kMaxPairs = 64;

vt_object_container *containerOf(vt_device *dev) { return reinterpret_cast<vt_object_container *>(dev); }

const char *deviceIdentifier(vt_device *dev) { return dev->dispatch->object.identifier(ObjectOf(containerOf(dev))); }

void deviceFree(vt_device *dev) {
    if (dev->dispatch->object.free)
        dev->dispatch->object.free(ObjectOf(containerOf(dev)));
}

std::string trim(const std::string &s) {
    size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// A "name,arguments" entry: the name trimmed, the arguments as they stand.
struct NamedEntry {
    std::string name, args;
};

NamedEntry splitEntry(const std::string &entry) {
    size_t comma = entry.find(',');
    return {trim(entry.substr(0, comma)), comma == std::string::npos ? std::string() : entry.substr(comma + 1)};
}

// Each entry of a ';'-separated list, in order, until `fn` returns false.
template <class F> void forEachEntry(const std::string &list, F fn) {
    for (size_t at = 0; at <= list.size();) {
        size_t end = list.find(';', at);
        if (end == std::string::npos)
            end = list.size();
        if (!fn(splitEntry(list.substr(at, end - at))))
            return;
        at = end + 1;
    }
}

vt_error addSlot(vt_device **pdev, vt_device *dev, vt_image *img) {
    for (int i = 0; i < vtFw.ndev_slots; i++)
        if (vtFw.dev_slots[i].dev == nullptr) {
            vtFw.dev_slots[i] = {dev, img};
            *pdev = dev;
            return VT_E_OK;
        }
    int n = vtFw.ndev_slots + VT_DEVICE_SLOTS_STEP;
    auto *grown =
        static_cast<vt_device_slot *>(VtResAllocate(VtFrameworkRoot(), sizeof(vt_device_slot) * vt_size(n), VT_RES_DRIVER));
    if (grown == nullptr) {
        deviceFree(dev);
        // The reference taken for the device goes with it.
        VtImageDereference(img);
        return VT_E_NO_MEMORY;
    }
    memset(grown, 0, sizeof(vt_device_slot) * vt_size(n));
    if (vtFw.ndev_slots)
        memcpy(grown, vtFw.dev_slots, sizeof(vt_device_slot) * vt_size(vtFw.ndev_slots));
    if (vtFw.dev_slots)
        VtResFree(vtFw.dev_slots);
    grown[vtFw.ndev_slots] = {dev, img};
    vtFw.dev_slots = grown;
    vtFw.ndev_slots = n;
    *pdev = dev;
    return VT_E_OK;
}

// The drivers of VANTOR_DRIVERS, once per framework lifetime; entries that
// fail are passed over.
void addConfiguredDrivers() {
    if (vtFw.drivers_added || !vtFw.active)
        return;
    vtFw.drivers_added = 1;
    char list[kDriversSize];
    if (VtSystemConfigQueryString(VTT_VANTOR_DRIVERS_STR, list, sizeof list) != VT_E_OK || list[0] == '\0')
        return;
    forEachEntry(list, [](const NamedEntry &e) {
        vt_device *dev;
        if (!e.name.empty())
            VtDevAdd(&dev, e.name.c_str(), e.args.c_str());
        return true;
    });
}

bool pointerValued(vt_token type) {
    switch (type) {
    case VTT_INT_8: case VTT_UINT_8: case VTT_INT_16: case VTT_UINT_16: case VTT_INT_32: case VTT_UINT_32:
    case VTT_FIXED: case VTT_FLOAT: case VTT_BOOLEAN: case VTT_TOKEN: case VTT_ANGLE: case VTT_COLOUR_RGB:
    case VTT_NONE:
        return false;
    default:
        return true;
    }
}

} // namespace

// ---- Adding and removing -----------------------------------------------------

vt_error VtDevAdd(vt_device **pdev, const char *image, const char *args) {
    vt_image *img = VtImageReference(image);
    if (img == nullptr)
        return VT_E_FAIL;
    auto *begin = reinterpret_cast<vt_drv_begin_fn *>(VtImageLookupName(img, "VtDrv1Begin", 0));
    if (begin == nullptr) {
        VtImageDereference(img);
        return VT_E_FAIL;
    }
    vt_device *dev = begin(args);
    if (dev == nullptr) {
        VtImageDereference(img);
        return VT_E_FAIL;
    }
    return addSlot(pdev, dev, img);
}

vt_error VtDevAddStatic(vt_device **pdev, vt_drv_begin_fn *begin, const char *args) {
    if (begin == nullptr)
        return VT_E_FAIL;
    vt_device *dev = begin(args);
    if (dev == nullptr)
        return VT_E_FAIL;
    return addSlot(pdev, dev, nullptr);
}

vt_error VtDevCheckAdd(vt_device **pdev, const char *name, const char *args) {
    addConfiguredDrivers();
    if (VtDevFind(pdev, name) == VT_E_OK)
        return VT_E_OK;
    return VtDevAdd(pdev, name, args);
}

vt_error VtDevRemove(vt_device *dev) {
    for (int i = 0; i < vtFw.ndev_slots; i++)
        if (dev && vtFw.dev_slots[i].dev == dev) {
            auto *img = static_cast<vt_image *>(vtFw.dev_slots[i].image);
            vtFw.dev_slots[i] = {nullptr, nullptr};
            deviceFree(dev);
            VtImageDereference(img);
            return VT_E_OK;
        }
    return VT_E_FAIL;
}

void VtDevRemoveAll() {
    for (int i = 0; i < vtFw.ndev_slots; i++)
        if (vtFw.dev_slots[i].dev)
            VtDevRemove(static_cast<vt_device *>(vtFw.dev_slots[i].dev));
    vtFw.last_begun = nullptr;
}

// ---- Finding -----------------------------------------------------------------

vt_error VtDevFind(vt_device **pdev, const char *pattern) {
    addConfiguredDrivers();
    *pdev = nullptr;
    for (int i = 0; i < vtFw.ndev_slots; i++) {
        auto *dev = static_cast<vt_device *>(vtFw.dev_slots[i].dev);
        if (dev && VtNamePatternMatch(pattern, deviceIdentifier(dev))) {
            *pdev = dev;
            return VT_E_OK;
        }
    }
    return VT_E_FAIL;
}

vt_error VtDevFindMany(vt_device **devices, vt_int_32 *ndevices, vt_int_32 max_devices, const char *pattern) {
    addConfiguredDrivers();
    vt_int_32 n = 0;
    vt_error r = VT_E_OK;
    for (int i = 0; i < vtFw.ndev_slots; i++) {
        auto *dev = static_cast<vt_device *>(vtFw.dev_slots[i].dev);
        if (dev == nullptr || !VtNamePatternMatch(pattern, deviceIdentifier(dev)))
            continue;
        if (n >= max_devices) {
            r = VT_E_OVERFLOW;
            break;
        }
        devices[n++] = dev;
        if (n >= max_devices) {
            r = VT_E_OVERFLOW;
            break;
        }
    }
    *ndevices = n;
    return r;
}

vt_error VtDevCount(vt_int_32 *pcount, const char *pattern) {
    vt_int_32 n = 0;
    for (int i = 0; i < vtFw.ndev_slots; i++) {
        auto *dev = static_cast<vt_device *>(vtFw.dev_slots[i].dev);
        if (dev && VtNamePatternMatch(pattern, deviceIdentifier(dev)))
            n++;
    }
    *pcount = n;
    return VT_E_OK;
}

vt_error VtDevContainedFind(vt_object **ph, vt_token type, const char *pattern, vt_token_value *tv) {
    addConfiguredDrivers();
    for (int i = 0; i < vtFw.ndev_slots; i++) {
        auto *dev = static_cast<vt_device *>(vtFw.dev_slots[i].dev);
        if (dev && dev->dispatch->find(containerOf(dev), ph, type, pattern, tv) == VT_E_OK)
            return VT_E_OK;
    }
    return VT_E_FAIL;
}

vt_error VtDevContainedFindMany(vt_object **objects, vt_int_32 max_objects, vt_int_32 *pnum_objects, vt_token type,
                                const char *pattern, vt_token_value *tv) {
    addConfiguredDrivers();
    vt_int_32 total = 0;
    for (int i = 0; i < vtFw.ndev_slots && total < max_objects; i++) {
        auto *dev = static_cast<vt_device *>(vtFw.dev_slots[i].dev);
        vt_int_32 n = 0;
        if (dev && dev->dispatch->findMany(containerOf(dev), objects + total, max_objects - total, &n, type, pattern,
                                           tv) == VT_E_OK)
            total += n;
    }
    *pnum_objects = total;
    return VT_E_OK;
}

vt_error VtDevContainedCount(vt_int_32 *pcount, vt_token type, const char *pattern, vt_token_value *tv) {
    addConfiguredDrivers();
    vt_int_32 total = 0;
    for (int i = 0; i < vtFw.ndev_slots; i++) {
        auto *dev = static_cast<vt_device *>(vtFw.dev_slots[i].dev);
        vt_int_32 n = 0;
        if (dev && dev->dispatch->count(containerOf(dev), &n, type, pattern, tv) == VT_E_OK)
            total += n;
    }
    *pcount = total;
    return VT_E_OK;
}

// ---- Device begin --------------------------------------------------------------

vt_error VtDevBeginTV(vt_pixelmap **ppm, const char *setup_string, const vt_token_value *extra) {
    char setup[kSetupSize];
    if (setup_string) {
        VtStrNCpy(setup, setup_string, sizeof setup - 1);
        setup[sizeof setup - 1] = '\0';
    } else {
        VtSystemConfigQueryString(VTT_DEFAULT_DEVICE_STR, setup, sizeof setup);
    }
    const NamedEntry chosen = splitEntry(setup);
    const std::string &name = chosen.name, &args = chosen.args;

    vt_device *dev = nullptr;
    bool any = name.empty() || name == "*";
    if (!any && VtDevFind(&dev, name.c_str()) != VT_E_OK) {
        // The device's driver arguments may come from VANTOR_DEVICES.
        char devices[kSetupSize];
        std::string driverArgs;
        if (VtSystemConfigQueryString(VTT_VANTOR_DEVICES_STR, devices, sizeof devices) == VT_E_OK) {
            forEachEntry(devices, [&](const NamedEntry &e) {
                if (VtStrICmp(e.name.c_str(), name.c_str()) != 0)
                    return true;
                driverArgs = e.args;
                return false;
            });
        }
        if (vt_error r = VtDevAdd(&dev, name.c_str(), driverArgs.c_str()))
            return r;
    }

    // The argument text's pairs with the caller's merged in.
    struct {
        vt_token_value tv[kMaxPairs];
        char strings[kSetupSize];
    } parsed;
    vt_int_32 n = VtStringToTokenValue(parsed.tv, sizeof parsed, args.c_str());
    vt_token_value merged[kMaxPairs + 1];
    if (n > kMaxPairs - 1)
        n = kMaxPairs - 1;
    memcpy(merged, parsed.tv, sizeof(vt_token_value) * vt_size(n));
    for (const vt_token_value *e = extra; e && e->t != VTT_END; e++) {
        int i = 0;
        while (i < n && merged[i].t != e->t)
            i++;
        if (i == n) {
            if (n >= kMaxPairs - 1) {
                VtFailure("Too many token value pairs");
                return VT_E_FAIL;
            }
            n++;
        }
        merged[i] = *e;
    }
    merged[n].t = VTT_END;
    merged[n].v.raw = 0;

    vt_object *facility = nullptr;
    vt_error r = any ? VtDevContainedFind(&facility, VTT_OUTPUT_FACILITY, nullptr, merged)
                     : dev->dispatch->find(containerOf(dev), &facility, VTT_OUTPUT_FACILITY, nullptr, merged);
    if (r != VT_E_OK)
        return r;
    auto *of = reinterpret_cast<vt_output_facility *>(facility);
    vt_pixelmap *pm = nullptr;
    if ((r = of->dispatch->pixelmapNew(of, &pm, merged)) != VT_E_OK)
        return r;
    VtDevLastBeginSet(pm);
    *ppm = pm;
    return VT_E_OK;
}

vt_error VtDevBegin(vt_pixelmap **ppm, const char *setup_string) { return VtDevBeginTV(ppm, setup_string, nullptr); }

vt_error VtDevBeginVar(vt_pixelmap **ppm, const char *setup_string, ...) {
    vt_token_value extra[kMaxPairs + 1];
    int n = 0;
    va_list args;
    va_start(args, setup_string);
    for (;;) {
        vt_token t = va_arg(args, vt_token);
        if (t == VTT_END)
            break;
        if (n >= kMaxPairs) {
            va_end(args);
            VtFailure("Too many token value pairs");
            return VT_E_FAIL;
        }
        // Values travel as the C types of their token's type.
        vt_token type = VtTokenType(t);
        vt_value v;
        if (type == VTT_FLOAT)
            v = VtValueF(vt_float(va_arg(args, double)));
        else if (pointerValued(type))
            v = VtValueP(va_arg(args, void *));
        else
            v = VtValueU32(va_arg(args, vt_uint_32));
        extra[n].t = t;
        extra[n].v = v;
        n++;
    }
    va_end(args);
    extra[n].t = VTT_END;
    extra[n].v.raw = 0;
    return VtDevBeginTV(ppm, setup_string, extra);
}

vt_pixelmap *VtDevLastBeginQuery() { return static_cast<vt_pixelmap *>(vtFw.last_begun); }
void VtDevLastBeginSet(vt_pixelmap *pm) { vtFw.last_begun = pm; }

vt_pixelmap *VtDevBeginOld(const char *setup_string) {
    if (VtDevLastBeginQuery()) {
        VtFailure("Device already active");
        return nullptr;
    }
    vt_pixelmap *pm = nullptr;
    if (VtDevBegin(&pm, setup_string) != VT_E_OK || pm == nullptr) {
        VtFailure("Could not start driver");
        return nullptr;
    }
    return pm;
}

void VtDevEndOld() {
    if (auto *obj = reinterpret_cast<vt_object *>(VtDevLastBeginQuery()))
        if (obj->dispatch->free)
            obj->dispatch->free(obj);
    VtDevLastBeginSet(nullptr);
}

void VtDevPaletteSetOld(vt_pixelmap *palette) {
    if (VtDevLastBeginQuery())
        VtPixelmapPaletteSet(VtDevLastBeginQuery(), palette);
}

void VtDevPaletteSetEntryOld(vt_int_32 index, vt_colour colour) {
    if (VtDevLastBeginQuery())
        VtPixelmapPaletteEntrySet(VtDevLastBeginQuery(), index, colour);
}
