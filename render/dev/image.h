// Code images: named export tables. The library's own modules are built-in
// images ("BRCORE1", "BRHOST1", "BRPMAP1"); driver images are loaded from
// shared objects found along the search path, or are linked in and
// registered by name.
#pragma once

#include "render/fw/list.h"
#include "render/fw/types.h"

enum {
    VT_IMAGE_BUILTIN = 2, // static, never unloaded
    VT_IMAGE_HOST = 3,    // a host module (shared object)
};

struct vt_image {
    vt_node node;
    const char *identifier; // name without extension
    int type;
    vt_int_32 ref_count;
    vt_uint_32 ordinal_base;
    vt_uint_32 n_functions;
    void **functions;
    vt_uint_32 n_names;
    const char **names;         // sorted in strcmp order
    vt_uint_16 *name_ordinals;  // parallel to names: index into functions
    vt_uint_32 n_imports;
    vt_image **imports;
    vt_uint_32 n_sections;
    void *sections;
    void *host_handle; // VT_IMAGE_HOST
};

// Adds / removes the core export image with the framework (and the images
// of the registered built-in drivers).
void VtCoreImageBegin();
void VtCoreImageEnd();
// Free callback of the IMAGE resource class: drops the image's imports.
void VtImageResourceFree(void *res, vt_uint_8 res_class, vt_size size);

vt_boolean VtImageAdd(vt_image *img);
vt_boolean VtImageRemove(vt_image *img);
vt_image *VtImageFind(const char *pattern);
// The named image with its reference count raised: one already in the list,
// else one loaded (the caller's name is not changed). Null when none.
vt_image *VtImageReference(const char *name);
void *VtImageLookupName(vt_image *img, const char *name, vt_uint_32 hint);
void *VtImageLookupOrdinal(vt_image *img, vt_uint_32 ordinal);
void VtImageDereference(vt_image *img);

// Fills a built-in image over static tables (names sorted, ordinals index
// the functions from ordinal base 1).
void VtImageBuiltinInit(vt_image *img, const char *identifier, void **functions, const char **names,
                        vt_uint_16 *ordinals, vt_uint_32 n);

// The entry point every driver image exports as "VtDrv1Begin".
struct vt_device;
typedef vt_device *vt_drv_begin_fn(const char *arguments);

// Registers a driver linked into the program as a built-in image of that
// name exporting "VtDrv1Begin"; device adds then find it like a loaded one.
// Registrations last for the process; returns 0 when the table is full.
vt_boolean VtDriverImageRegister(const char *name, vt_drv_begin_fn *begin);

// The library's own loader of driver files in the platform's program-image
// format. There are none on this platform: it answers null.
vt_image *ImageLoad(const char *name);
