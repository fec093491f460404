// Devices: driver objects begun from images and kept in the framework's
// device table; device begin from a device string; the search for
// renderer facilities, primitive libraries and geometry formats.
#pragma once

#include "render/dev/image.h"
#include "render/fw/types.h"
#include "render/tokens/object.h"

// A device is an object container: its objects are the facilities it
// offers (output facilities, renderer facilities, primitive libraries...).
struct vt_device {
    const vt_object_container_dispatch *dispatch;
};

struct vt_pixelmap;
struct vt_output_facility;

// An output facility makes screen pixelmaps; its objects are what it can
// offer further (its renderer facilities, for example).
struct vt_output_facility_dispatch {
    vt_object_container_dispatch container;
    vt_error (*pixelmapNew)(vt_output_facility *self, vt_pixelmap **ppmap, vt_token_value *tv);
};

struct vt_output_facility {
    const vt_output_facility_dispatch *dispatch;
};

vt_error VtDevAdd(vt_device **pdev, const char *image, const char *args);
vt_error VtDevAddStatic(vt_device **pdev, vt_drv_begin_fn *begin, const char *args);
vt_error VtDevCheckAdd(vt_device **pdev, const char *name, const char *args);
vt_error VtDevRemove(vt_device *dev);
// Removes every device (at library end; reads no driver list).
void VtDevRemoveAll();
// The first device (in slot order) whose identifier matches the pattern.
vt_error VtDevFind(vt_device **pdev, const char *pattern);
vt_error VtDevFindMany(vt_device **devices, vt_int_32 *ndevices, vt_int_32 max_devices, const char *pattern);
vt_error VtDevCount(vt_int_32 *pcount, const char *pattern);
vt_error VtDevContainedFind(vt_object **ph, vt_token type, const char *pattern, vt_token_value *tv);
vt_error VtDevContainedFindMany(vt_object **objects, vt_int_32 max_objects, vt_int_32 *pnum_objects, vt_token type,
                                const char *pattern, vt_token_value *tv);
vt_error VtDevContainedCount(vt_int_32 *pcount, vt_token type, const char *pattern, vt_token_value *tv);

// Begins a screen pixelmap from a device string "name,args" (null: the
// configured default device) with extra pairs; the variadic form takes
// token, value pairs ended by token 0.
vt_error VtDevBegin(vt_pixelmap **ppm, const char *setup_string);
vt_error VtDevBeginVar(vt_pixelmap **ppm, const char *setup_string, ...);
// The same with the extra pairs as a list ended by token 0.
vt_error VtDevBeginTV(vt_pixelmap **ppm, const char *setup_string, const vt_token_value *extra);
vt_pixelmap *VtDevLastBeginQuery();
void VtDevLastBeginSet(vt_pixelmap *pm);

vt_pixelmap *VtDevBeginOld(const char *setup_string);
void VtDevEndOld();
void VtDevPaletteSetOld(vt_pixelmap *palette);
void VtDevPaletteSetEntryOld(vt_int_32 index, vt_colour colour);

vt_error VtRendererFacilityFind(vt_object **prf, vt_pixelmap *destination, vt_token scalar_type);
vt_error VtRendererFacilityListFind(vt_object **list, vt_int_32 *pcount, vt_int_32 max, vt_pixelmap *destination,
                                    vt_token scalar_type);
vt_error VtPrimitiveLibraryFind(vt_object **ppl, vt_pixelmap *destination, vt_token scalar_type);
vt_error VtPrimitiveLibraryListFind(vt_object **list, vt_int_32 *pcount, vt_int_32 max, vt_pixelmap *destination,
                                    vt_token scalar_type);
vt_error VtGeometryFormatFind(vt_object **pgf, vt_object *renderer, vt_pixelmap *destination, vt_token scalar_type,
                              vt_token format_type);
