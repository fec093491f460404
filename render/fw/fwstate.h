// The framework state record, shared by the library's own modules (the
// image list and device table belong to the device module).
#pragma once

#include "render/fw/fw.h"

struct vt_device_slot {
    void *dev;   // the device object; null for a free slot
    void *image; // the image it came from, null for a linked-in device
};

enum { VT_DEVICE_SLOTS_STEP = 16 };

struct vt_framework_state {
    vt_boolean active;
    vt_registry reg_resource_classes;
    vt_resource_class *resource_class_index[256];
    vt_filesystem *fsys;
    vt_allocator *mem;
    vt_diaghandler *diag;
    void *res; // the root resource
    void *scratch_ptr;
    vt_size scratch_size;
    vt_size scratch_last;
    vt_boolean scratch_inuse;
    vt_error last_error_type;
    void *last_error_value;
    vt_list images;
    vt_device_slot *dev_slots;
    vt_int_32 ndev_slots;
    struct vt_associative_array *sys_config; // the configuration store
    vt_boolean drivers_added; // VANTOR_DRIVERS read since framework begin
    void *last_begun;         // the pixelmap of the last device begin
    int open_write_mode; // form of datafiles opened for writing: 0 binary, 1 text
};

extern vt_framework_state vtFw;
