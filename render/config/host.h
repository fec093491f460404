// The host layer: services of the machine the library runs on. Module
// loading, settings sections and registry keys, the default device and
// processor identification; the real-mode, selector, far-memory and
// interrupt services of other platforms are stubs that fail.
#pragma once

#include "render/fw/types.h"

// Begin and end of the host layer with the library (adds and removes the
// host export image "BRHOST1").
void HostBegin();
void HostEnd();

// A shared object by name: a name with a directory is opened as it is;
// otherwise the working folder and then each directory of the search path
// are tried, with ".so" added to a name without an extension. Null when
// none loads.
void *HostImageLoad(const char *name);
void HostImageUnload(void *handle);
void *HostImageLookupName(void *handle, const char *name);
void *HostImageLookupOrdinal(void *handle, vt_uint_32 ordinal); // null: not supported

const char *HostDefaultDevice(); // "DDRAW"

// Sections of settings files in the Windows folder, as zero-terminated
// "name=value" strings with a final zero.
vt_boolean HostIniSectionExists(const char *file, const char *section);
vt_error HostIniSectionQuery(const char *file, const char *section, char *buffer, vt_size size);
vt_error HostIniSectionWrite(const char *file, const char *section, const char *buffer, vt_size size);

// Root key names; null is HKEY_LOCAL_MACHINE.
vt_error HostRegistryQuery(const char *root, const char *subkey, char *buffer, vt_size size);
vt_error HostRegistryWrite(const char *root, const char *subkey, const char *buffer, vt_size size);

enum : vt_uint_32 {
    VT_HOST_CAPS_FPU = 0x800,
    VT_HOST_CAPS_MMX = 0x400,
    VT_HOST_CAPS_CMOV = 0x1000,
};

struct vt_host_info {
    vt_uint_32 size; // 56
    char identifier[40];
    vt_uint_32 capabilities;
    vt_token processor_family;
    vt_token processor_type;
};

vt_error HostInfo(vt_host_info *buffer, vt_size buffersize);

// Stubs of services this platform does not have: they do nothing and fail.
vt_error HostLock(void *p, vt_size size);
vt_error HostUnlock(void *p, vt_size size);
vt_error HostExceptionHook(vt_uint_8 exception, void *handler, void *old);
vt_error HostExceptionUnhook(vt_uint_8 exception, void *old);
vt_error HostRegistersGet(void *regs);
vt_error HostInterruptCall(vt_uint_8 vector, void *regs);
vt_error HostInterruptHook(vt_uint_8 vector, void *handler, void *old);
vt_error HostInterruptUnhook(vt_uint_8 vector, void *old);
vt_error HostRealAllocate(void *mem, vt_uint_32 size);
vt_error HostRealFree(void *mem);
vt_error HostRealInterruptCall(vt_uint_8 vector, void *regs);
vt_error HostRealInterruptGet(vt_uint_8 vector, vt_uint_32 *vp);
vt_error HostRealInterruptSet(vt_uint_8 vector, vt_uint_32 v);
void HostRealBlockFill(vt_uint_32 dest, vt_uint_8 value, vt_uint_32 count);
void HostRealBlockRead(vt_uint_32 src, void *dest, vt_uint_32 count);
void HostRealBlockWrite(vt_uint_32 dest, const void *src, vt_uint_32 count);
vt_uint_8 HostRealByteRead(vt_uint_32 offset);
void HostRealByteWrite(vt_uint_32 offset, vt_uint_8 value);
vt_uint_32 HostRealDWordRead(vt_uint_32 offset);
void HostRealDWordWrite(vt_uint_32 offset, vt_uint_32 value);
void HostRealStringRead(vt_uint_32 offset, char *dest, vt_size max);
void HostRealStringWrite(vt_uint_32 offset, const char *src, vt_size max);
vt_uint_16 HostRealWordRead(vt_uint_32 offset);
void HostRealWordWrite(vt_uint_32 offset, vt_uint_16 value);
vt_error HostSelectorAllocate(vt_uint_16 *selp);
vt_error HostSelectorAllocateAlias(vt_uint_16 *aliasp, vt_uint_16 selector);
vt_error HostSelectorAllocateLinear(vt_uint_16 *selp, vt_uint_32 base, vt_uint_32 size);
vt_error HostSelectorAllocatePhysical(vt_uint_16 *selp, vt_uint_32 phys_addr, vt_uint_32 size);
vt_error HostSelectorBaseQuery(vt_uint_32 *basep, vt_uint_16 sel);
vt_error HostSelectorBaseSet(vt_uint_16 sel, vt_uint_32 base);
vt_uint_16 HostSelectorCS();
vt_uint_16 HostSelectorDS();
vt_uint_16 HostSelectorES();
vt_uint_16 HostSelectorSS();
vt_error HostSelectorFree(vt_uint_16 sel);
vt_error HostSelectorLimitQuery(vt_uint_32 *limitp, vt_uint_16 sel);
vt_error HostSelectorLimitSet(vt_uint_16 sel, vt_uint_32 limit);
vt_error HostSelectorReal(vt_uint_16 *selp);
void HostFarBlockFill(vt_uint_16 sel, vt_uint_32 offset, vt_uint_8 value, vt_uint_32 count);
void HostFarBlockRead(vt_uint_16 sel, vt_uint_32 offset, void *dest, vt_uint_32 count);
void HostFarBlockWrite(vt_uint_16 sel, vt_uint_32 offset, const void *src, vt_uint_32 count);
vt_uint_8 HostFarByteRead(vt_uint_16 sel, vt_uint_32 offset);
void HostFarByteWrite(vt_uint_16 sel, vt_uint_32 offset, vt_uint_8 value);
vt_uint_32 HostFarDWordRead(vt_uint_16 sel, vt_uint_32 offset);
void HostFarDWordWrite(vt_uint_16 sel, vt_uint_32 offset, vt_uint_32 value);
void HostFarStringRead(vt_uint_16 sel, vt_uint_32 offset, char *dest, vt_size max);
void HostFarStringWrite(vt_uint_16 sel, vt_uint_32 offset, const char *src, vt_size max);
vt_uint_16 HostFarWordRead(vt_uint_16 sel, vt_uint_32 offset);
void HostFarWordWrite(vt_uint_16 sel, vt_uint_32 offset, vt_uint_16 value);
