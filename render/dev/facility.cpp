// The search for renderer facilities, primitive libraries and geometry
// formats: what the destination offers first, then named defaults in any
// device, then the default driver images.
#include <cstring>
#include <string>

#include "render/dev/device.h"

namespace {

struct search {
    vt_token type;           // object type searched for
    vt_token object_token;   // the destination's own offer (0: none)
    const char *name_tmpl;   // "Default-Renderer-00000"
    const char *image_tmpl;  // "softrnd0"
    const char *untyped;     // "Default-Renderer"
    const char *untyped_img; // "softrend"
};

const search kRenderer = {VTT_RENDERER_FACILITY, VTT_RENDERER_FACILITY_O, "Default-Renderer-00000", "softrnd0",
                          "Default-Renderer", "softrend"};
const search kPrimitives = {VTT_PRIMITIVE_LIBRARY, VTT_PRIMITIVE_LIBRARY_O, "Default-Primitives-00000", "softprm0",
                            "Default-Primitives", "softprim"};

// The template with its last five characters made "Fixed" or "Float"; empty
// for other scalar types.
std::string typedName(const char *tmpl, vt_token scalar) {
    if (scalar != VTT_FIXED && scalar != VTT_FLOAT)
        return std::string();
    std::string s = tmpl;
    s.replace(s.size() - 5, 5, scalar == VTT_FIXED ? "Fixed" : "Float");
    return s;
}

std::string typedImage(const char *tmpl, vt_token scalar) {
    if (scalar != VTT_FIXED && scalar != VTT_FLOAT)
        return std::string();
    std::string s = tmpl;
    s.back() = scalar == VTT_FIXED ? 'x' : 'f';
    return s;
}

bool queryObject(vt_object *obj, vt_token t, vt_object **out) {
    vt_value v;
    v.raw = 0;
    if (obj == nullptr || obj->dispatch->query == nullptr || obj->dispatch->query(obj, &v, t) != VT_E_OK || !v.o)
        return false;
    *out = v.o;
    return true;
}

vt_error find(const search &s, vt_object **out, vt_pixelmap *destination, vt_token scalar) {
    auto *dest = reinterpret_cast<vt_object *>(destination);
    vt_object *of = nullptr;
    if (s.object_token && queryObject(dest, s.object_token, out))
        return VT_E_OK;
    if (s.object_token && queryObject(dest, VTT_OUTPUT_FACILITY_O, &of) && queryObject(of, s.object_token, out))
        return VT_E_OK;
    std::string name = typedName(s.name_tmpl, scalar);
    std::string image = typedImage(s.image_tmpl, scalar);
    if (!name.empty() && VtDevContainedFind(out, s.type, name.c_str(), nullptr) == VT_E_OK)
        return VT_E_OK;
    if (VtDevContainedFind(out, s.type, s.untyped, nullptr) == VT_E_OK)
        return VT_E_OK;
    vt_device *dev;
    if (!image.empty() && VtDevCheckAdd(&dev, image.c_str(), nullptr) == VT_E_OK &&
        VtDevContainedFind(out, s.type, name.c_str(), nullptr) == VT_E_OK)
        return VT_E_OK;
    if (VtDevCheckAdd(&dev, s.untyped_img, nullptr) == VT_E_OK &&
        VtDevContainedFind(out, s.type, s.untyped, nullptr) == VT_E_OK)
        return VT_E_OK;
    return VT_E_FAIL;
}

// The default first, then every facility named "*-Renderer-Fixed" (or
// Float) and "*-Renderer", each once.
vt_error findList(const search &s, vt_object **list, vt_int_32 *pcount, vt_int_32 max, vt_pixelmap *destination,
                  vt_token scalar) {
    vt_int_32 n = 0;
    auto add = [&](vt_object *o) {
        for (vt_int_32 i = 0; i < n; i++)
            if (list[i] == o)
                return;
        if (n < max)
            list[n++] = o;
    };
    vt_object *def = nullptr;
    if (max > 0 && find(s, &def, destination, scalar) == VT_E_OK)
        add(def);
    std::string untyped = std::string("*") + strchr(s.untyped, '-');
    std::string anyTyped = typedName(("*" + std::string(strchr(s.name_tmpl, '-'))).c_str(), scalar);
    for (const std::string &pattern : {anyTyped, untyped}) {
        if (pattern.empty())
            continue;
        vt_object *found[64];
        vt_int_32 got = 0;
        VtDevContainedFindMany(found, 64, &got, s.type, pattern.c_str(), nullptr);
        for (vt_int_32 i = 0; i < got; i++)
            add(found[i]);
    }
    *pcount = n;
    return n ? VT_E_OK : VT_E_FAIL;
}

} // namespace

vt_error VtRendererFacilityFind(vt_object **prf, vt_pixelmap *destination, vt_token scalar_type) {
    return find(kRenderer, prf, destination, scalar_type);
}

vt_error VtRendererFacilityListFind(vt_object **list, vt_int_32 *pcount, vt_int_32 max, vt_pixelmap *destination,
                                    vt_token scalar_type) {
    return findList(kRenderer, list, pcount, max, destination, scalar_type);
}

vt_error VtPrimitiveLibraryFind(vt_object **ppl, vt_pixelmap *destination, vt_token scalar_type) {
    return find(kPrimitives, ppl, destination, scalar_type);
}

vt_error VtPrimitiveLibraryListFind(vt_object **list, vt_int_32 *pcount, vt_int_32 max, vt_pixelmap *destination,
                                    vt_token scalar_type) {
    return findList(kPrimitives, list, pcount, max, destination, scalar_type);
}

vt_error VtGeometryFormatFind(vt_object **pgf, vt_object *, vt_pixelmap *destination, vt_token scalar_type,
                              vt_token format_type) {
    const search s = {format_type, 0, "Default-Format-00000", "softfrm0", "Default-Format", "softform"};
    return find(s, pgf, destination, scalar_type);
}
