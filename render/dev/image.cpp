// Code images: the image list, references, export lookup and the built-in
// export images.
#include "render/dev/image.h"

#include <cstring>
#include <string>

#include "render/config/host.h"
#include "render/dev/device.h"
#include "render/drivers/output.h"
#include "render/drivers/softrend.h"
#include "render/file/file.h"
#include "render/fmt/fmt.h"
#include "render/fmt/lexer.h"
#include "render/fw/fwstate.h"
#include "render/std/except.h"
#include "render/std/stdlib.h"
#include "render/tokens/object.h"
#include "render/tokens/token.h"

namespace {

// ---- BRCORE1 ---------------------------------------------------------------

#define VT_EXPORT_LIST "render/dev/core_exports.inc"
#include "render/dev/builtin_exports.inc"
#undef VT_EXPORT_LIST

// ---- Built-in drivers --------------------------------------------------------

enum { kMaxDrivers = 16 };

struct builtin_driver {
    char name[32];
    void *functions[1];
    const char *names[1];
    vt_uint_16 ordinals[1];
    vt_image image;
};

builtin_driver drivers[kMaxDrivers];
int ndrivers;

bool hasDriverExtension(const char *name, const char **dot) {
    *dot = strrchr(name, '.');
    if (*dot == nullptr)
        return false;
    return VtStrICmp(*dot, ".dll") == 0 || VtStrICmp(*dot, ".bdd") == 0 || VtStrICmp(*dot, ".bed") == 0;
}

vt_image *newHostImage(void *handle, const char *name) {
    vt_size len = strlen(name);
    auto *img = static_cast<vt_image *>(VtResAllocate(VtFrameworkRoot(), sizeof(vt_image) + len + 1, VT_RES_IMAGE));
    if (img == nullptr) {
        HostImageUnload(handle);
        return nullptr;
    }
    memset(img, 0, sizeof *img);
    char *id = reinterpret_cast<char *>(img + 1);
    memcpy(id, name, len + 1);
    img->identifier = id;
    img->type = VT_IMAGE_HOST;
    img->host_handle = handle;
    return img;
}

vt_image *hostLoad(const char *name) {
    void *h = HostImageLoad(name);
    return h ? newHostImage(h, name) : nullptr;
}

// Index of the name in the sorted table, trying the hint first; -1 when
// absent.
int findName(vt_image *img, const char *name, vt_uint_32 hint) {
    if (hint < img->n_names && strcmp(img->names[hint], name) == 0)
        return int(hint);
    int lo = 0, hi = int(img->n_names) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = strcmp(name, img->names[mid]);
        if (c == 0)
            return mid;
        if (c < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return -1;
}

void *lookupExact(vt_image *img, const char *name, vt_uint_32 hint) {
    int i = findName(img, name, hint);
    if (i < 0)
        return nullptr;
    vt_uint_32 f = img->name_ordinals[i];
    return f < img->n_functions ? img->functions[f] : nullptr;
}

} // namespace

void VtImageBuiltinInit(vt_image *img, const char *identifier, void **functions, const char **names,
                        vt_uint_16 *ordinals, vt_uint_32 n) {
    memset(img, 0, sizeof *img);
    img->identifier = identifier;
    img->type = VT_IMAGE_BUILTIN;
    img->ordinal_base = 1;
    img->n_functions = n;
    img->functions = functions;
    img->n_names = n;
    img->names = names;
    img->name_ordinals = ordinals;
    for (vt_uint_32 i = 0; i < n; i++)
        ordinals[i] = vt_uint_16(i);
}

void VtCoreImageBegin() {
    VtImageBuiltinInit(&exportImage, "BRCORE1", exportFunctions, exportNames, exportOrdinals, kExportCount);
    VtImageAdd(&exportImage);
    for (int i = 0; i < ndrivers; i++) {
        drivers[i].image.ref_count = 0;
        VtImageAdd(&drivers[i].image);
    }
    // The library's own renderer and output device; a begin restores them
    // under their names.
    VtSoftDriversRegister();
    VtOutputDriverRegister();
}

void VtCoreImageEnd() {
    // Loaded images hang under the root and go with it; the static ones are
    // only unlinked.
    for (int i = 0; i < ndrivers; i++)
        VtImageRemove(&drivers[i].image);
    VtImageRemove(&exportImage);
}

vt_boolean VtDriverImageRegister(const char *name, vt_drv_begin_fn *begin) {
    if (name == nullptr || begin == nullptr || strlen(name) >= sizeof drivers[0].name)
        return 0;
    for (int i = 0; i < ndrivers; i++)
        if (VtStrICmp(drivers[i].name, name) == 0) {
            drivers[i].functions[0] = reinterpret_cast<void *>(begin);
            return 1;
        }
    if (ndrivers >= kMaxDrivers)
        return 0;
    builtin_driver &d = drivers[ndrivers++];
    strcpy(d.name, name);
    d.functions[0] = reinterpret_cast<void *>(begin);
    d.names[0] = "_VtDrv1Begin";
    VtImageBuiltinInit(&d.image, d.name, d.functions, d.names, d.ordinals, 1);
    if (vtFw.active)
        VtImageAdd(&d.image);
    return 1;
}

void VtImageResourceFree(void *res, vt_uint_8, vt_size) {
    auto *img = static_cast<vt_image *>(res);
    for (vt_uint_32 i = 0; i < img->n_imports; i++)
        if (img->imports && img->imports[i])
            VtImageDereference(img->imports[i]);
    if (img->type == VT_IMAGE_HOST && img->host_handle)
        HostImageUnload(img->host_handle);
    img->host_handle = nullptr;
}

vt_boolean VtImageAdd(vt_image *img) {
    VtAddHead(&vtFw.images, &img->node);
    return 1;
}

vt_boolean VtImageRemove(vt_image *img) {
    if (img->node.next && img->node.prev)
        VtRemove(&img->node);
    img->node.next = img->node.prev = nullptr;
    return 1;
}

vt_image *VtImageFind(const char *pattern) {
    std::string name = pattern ? pattern : "";
    const char *dot;
    if (hasDriverExtension(name.c_str(), &dot))
        name.resize(vt_size(dot - name.c_str()));
    if (!vtFw.active)
        return nullptr;
    for (vt_node *n = VtListFirst(&vtFw.images); n; n = VtListNext(n)) {
        auto *img = reinterpret_cast<vt_image *>(n);
        if (VtNamePatternMatch(name.c_str(), img->identifier))
            return img;
    }
    return nullptr;
}

vt_image *ImageLoad(const char *) { return nullptr; }

vt_image *VtImageReference(const char *name) {
    if (name == nullptr || !vtFw.active)
        return nullptr;
    // A copy: the caller's string may be a literal or shared.
    std::string copy = name;
    const char *dot;
    if (hasDriverExtension(copy.c_str(), &dot))
        copy.resize(vt_size(dot - copy.c_str()));
    if (vt_image *img = VtImageFind(copy.c_str())) {
        img->ref_count++;
        return img;
    }
    vt_image *img = nullptr;
    if (copy.find('.') != std::string::npos) {
        img = hostLoad(copy.c_str());
        if (img == nullptr)
            img = ImageLoad(copy.c_str());
    } else {
        img = ImageLoad((copy + ".BDD").c_str());
        if (img == nullptr)
            img = hostLoad(copy.c_str());
        if (img == nullptr)
            img = ImageLoad((copy + ".DLL").c_str());
    }
    if (img == nullptr)
        return nullptr;
    if (char *cut = strchr(const_cast<char *>(img->identifier), '.'))
        *cut = '\0';
    VtImageAdd(img);
    img->ref_count = 1;
    return img;
}

void *VtImageLookupName(vt_image *img, const char *name, vt_uint_32 hint) {
    if (img == nullptr || name == nullptr)
        return nullptr;
    if (img->type == VT_IMAGE_HOST)
        return HostImageLookupName(img->host_handle, name);
    if (void *p = lookupExact(img, name, hint))
        return p;
    if (name[0] == '_')
        if (void *p = lookupExact(img, name + 1, hint))
            return p;
    std::string under = std::string("_") + name;
    return lookupExact(img, under.c_str(), hint);
}

void *VtImageLookupOrdinal(vt_image *img, vt_uint_32 ordinal) {
    if (img == nullptr)
        return nullptr;
    if (img->type == VT_IMAGE_HOST)
        return HostImageLookupOrdinal(img->host_handle, ordinal);
    if (ordinal < img->ordinal_base || ordinal - img->ordinal_base >= img->n_functions)
        return nullptr;
    return img->functions[ordinal - img->ordinal_base];
}

void VtImageDereference(vt_image *img) {
    if (img == nullptr)
        return;
    if (--img->ref_count > 0 || img->type == VT_IMAGE_BUILTIN)
        return;
    if (img->type == VT_IMAGE_HOST)
        HostImageUnload(img->host_handle);
    img->host_handle = nullptr;
    VtImageRemove(img);
    VtResFree(img);
}
