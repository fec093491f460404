// The host layer over the operating-system layer.
#include "render/config/host.h"

#include <cstring>
#include <string>

#include "os/cpuinfo.h"
#include "os/module.h"
#include "os/paths.h"
#include "os/profile.h"
#include "render/config/config.h"
#include "render/dev/image.h"
#include "render/std/stdlib.h"
#include "render/tokens/token.h"

namespace {

#define VT_EXPORT_LIST "render/dev/host_exports.inc"
#include "render/dev/builtin_exports.inc"
#undef VT_EXPORT_LIST

void *loadPath(const std::string &gamePath) {
    std::string path = osResolvePath(gamePath.c_str(), false);
    if (!osFileExists(path.c_str()))
        return nullptr;
    // dlopen searches the system's folders for a name without a slash.
    if (path.find('/') == std::string::npos)
        path = "./" + path;
    return osModuleLoad(path.c_str());
}

std::string registryKey(const char *root, const char *subkey) {
    std::string key = subkey ? subkey : "";
    if (root && *root && VtStrICmp(root, "HKEY_LOCAL_MACHINE") != 0)
        key = std::string(root) + "\\" + key;
    return key;
}

struct query_out {
    char *buffer;
    vt_size size;
    vt_size used;
    bool overflow;
};

void addValue(const char *name, const char *data, void *arg) {
    auto *out = static_cast<query_out *>(arg);
    if (out->overflow)
        return;
    std::string s = data ? std::string(name) + "=" + data : std::string(name);
    // Room for the string, its zero and the final zero.
    if (out->used + s.size() + 2 > out->size) {
        out->overflow = true;
        return;
    }
    memcpy(out->buffer + out->used, s.c_str(), s.size() + 1);
    out->used += s.size() + 1;
    out->buffer[out->used] = '\0';
}

} // namespace

void HostBegin() {
    VtImageBuiltinInit(&exportImage, "BRHOST1", exportFunctions, exportNames, exportOrdinals, kExportCount);
    VtImageAdd(&exportImage);
}

void HostEnd() { VtImageRemove(&exportImage); }

void *HostImageLoad(const char *name) {
    if (name == nullptr || *name == '\0')
        return nullptr;
    std::string file = name;
    if (file.find('.') == std::string::npos)
        file += ".so";
    if (file.find_first_of("/\\:") != std::string::npos)
        return loadPath(file);
    if (void *h = loadPath(file))
        return h;
    char path[512];
    if (VtSystemConfigQueryString(VTT_VANTOR_PATH_STR, path, sizeof path) != VT_E_OK)
        return nullptr;
    for (char *dir = path; dir && *dir;) {
        char *sep = strchr(dir, ';');
        if (sep)
            *sep = '\0';
        if (*dir)
            if (void *h = loadPath(std::string(dir) + "/" + file))
                return h;
        dir = sep ? sep + 1 : nullptr;
    }
    return nullptr;
}

void HostImageUnload(void *handle) { osModuleUnload(handle); }
void *HostImageLookupName(void *handle, const char *name) { return osModuleSymbol(handle, name); }
void *HostImageLookupOrdinal(void *, vt_uint_32) { return nullptr; }

const char *HostDefaultDevice() { return "DDRAW"; }

vt_boolean HostIniSectionExists(const char *file, const char *section) {
    char probe[4];
    return osIniSectionRead(file, section, probe, sizeof probe) > 0;
}

vt_error HostIniSectionQuery(const char *file, const char *section, char *buffer, vt_size size) {
    if (buffer == nullptr || size < 2)
        return VT_E_OVERFLOW;
    return osIniSectionRead(file, section, buffer, size) == size - 2 && size > 2 ? VT_E_OVERFLOW : VT_E_OK;
}

vt_error HostIniSectionWrite(const char *file, const char *section, const char *buffer, vt_size size) {
    // The strings must end with an empty one inside the buffer.
    vt_size i = 0;
    while (i < size && buffer[i] != '\0') {
        while (i < size && buffer[i] != '\0')
            i++;
        i++;
    }
    if (i >= size)
        return VT_E_FAIL;
    return osIniSectionWrite(file, section, buffer) ? VT_E_OK : VT_E_FAIL;
}

vt_error HostRegistryQuery(const char *root, const char *subkey, char *buffer, vt_size size) {
    if (buffer == nullptr || size < 2)
        return VT_E_OVERFLOW;
    buffer[0] = buffer[1] = '\0';
    query_out out{buffer, size, 0, false};
    if (!osRegistryKeyEnum(registryKey(root, subkey).c_str(), addValue, &out))
        return VT_E_FAIL;
    return out.overflow ? VT_E_OVERFLOW : VT_E_OK;
}

vt_error HostRegistryWrite(const char *root, const char *subkey, const char *buffer, vt_size size) {
    std::string key = registryKey(root, subkey);
    vt_error r = VT_E_OK;
    for (vt_size i = 0; i < size && buffer[i];) {
        std::string line;
        while (i < size && buffer[i])
            line += buffer[i++];
        i++;
        size_t split = line.find_first_of("=:");
        std::string name = line.substr(0, split);
        std::string data = split == std::string::npos ? std::string() : line.substr(split + 1);
        if (!osRegistryKeyWrite(key.c_str(), name.c_str(), data.c_str()))
            r = VT_E_FAIL;
    }
    return r;
}

vt_error HostInfo(vt_host_info *buffer, vt_size buffersize) {
    vt_host_info info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    strcpy(info.identifier, "Microsoft WIN32");
    info.processor_family = VTT_INTEL;
    info.processor_type = VTT_INTEL_386;

    // Every processor this runs on can toggle the alignment-check and ID
    // flags, so identification goes straight to the identification leaves.
    vt_uint_32 flags = 0;
    uint32_t regs[4];
    info.processor_type = VTT_INTEL_486;
    if (osCpuId(0, regs) && regs[0] >= 1 && osCpuId(1, regs)) {
        vt_uint_32 family = (regs[0] >> 8) & 0xF;
        // Families above 6 are at least what 6 stands for.
        info.processor_type = family <= 3   ? VTT_INTEL_386
                              : family == 4 ? VTT_INTEL_486
                              : family == 5 ? VTT_INTEL_PENTIUM
                                            : VTT_INTEL_PENTIUM_PRO;
        if (regs[3] & (1u << 0))
            flags |= VT_HOST_CAPS_FPU;
        if (regs[3] & (1u << 23))
            flags |= VT_HOST_CAPS_MMX;
        if (regs[3] & (1u << 15))
            flags |= VT_HOST_CAPS_CMOV;
    }
    info.capabilities |= flags;
    vt_value v;
    if (VtSystemConfigQuery(VTT_VANTOR_USE_MMX_B, &v) == VT_E_OK && !v.b)
        info.capabilities &= ~vt_uint_32(VT_HOST_CAPS_MMX);
    if (VtSystemConfigQuery(VTT_VANTOR_USE_CMOV_B, &v) == VT_E_OK && !v.b)
        info.capabilities &= ~vt_uint_32(VT_HOST_CAPS_CMOV);

    if (buffersize < sizeof info) {
        memcpy(buffer, &info, buffersize);
        return VT_E_OVERFLOW;
    }
    memcpy(buffer, &info, sizeof info);
    return VT_E_OK;
}

// ---- Services of other platforms -------------------------------------------

vt_error HostLock(void *, vt_size) { return VT_E_FAIL; }
vt_error HostUnlock(void *, vt_size) { return VT_E_FAIL; }
vt_error HostExceptionHook(vt_uint_8, void *, void *) { return VT_E_FAIL; }
vt_error HostExceptionUnhook(vt_uint_8, void *) { return VT_E_FAIL; }
vt_error HostRegistersGet(void *) { return VT_E_FAIL; }
vt_error HostInterruptCall(vt_uint_8, void *) { return VT_E_FAIL; }
vt_error HostInterruptHook(vt_uint_8, void *, void *) { return VT_E_FAIL; }
vt_error HostInterruptUnhook(vt_uint_8, void *) { return VT_E_FAIL; }
vt_error HostRealAllocate(void *, vt_uint_32) { return VT_E_FAIL; }
vt_error HostRealFree(void *) { return VT_E_FAIL; }
vt_error HostRealInterruptCall(vt_uint_8, void *) { return VT_E_FAIL; }
vt_error HostRealInterruptGet(vt_uint_8, vt_uint_32 *) { return VT_E_FAIL; }
vt_error HostRealInterruptSet(vt_uint_8, vt_uint_32) { return VT_E_FAIL; }
void HostRealBlockFill(vt_uint_32, vt_uint_8, vt_uint_32) {}
void HostRealBlockRead(vt_uint_32, void *, vt_uint_32) {}
void HostRealBlockWrite(vt_uint_32, const void *, vt_uint_32) {}
vt_uint_8 HostRealByteRead(vt_uint_32) { return 0; }
void HostRealByteWrite(vt_uint_32, vt_uint_8) {}
vt_uint_32 HostRealDWordRead(vt_uint_32) { return 0; }
void HostRealDWordWrite(vt_uint_32, vt_uint_32) {}
void HostRealStringRead(vt_uint_32, char *dest, vt_size max) {
    if (dest && max)
        dest[0] = '\0';
}
void HostRealStringWrite(vt_uint_32, const char *, vt_size) {}
vt_uint_16 HostRealWordRead(vt_uint_32) { return 0; }
void HostRealWordWrite(vt_uint_32, vt_uint_16) {}
vt_error HostSelectorAllocate(vt_uint_16 *) { return VT_E_FAIL; }
vt_error HostSelectorAllocateAlias(vt_uint_16 *, vt_uint_16) { return VT_E_FAIL; }
vt_error HostSelectorAllocateLinear(vt_uint_16 *, vt_uint_32, vt_uint_32) { return VT_E_FAIL; }
vt_error HostSelectorAllocatePhysical(vt_uint_16 *, vt_uint_32, vt_uint_32) { return VT_E_FAIL; }
vt_error HostSelectorBaseQuery(vt_uint_32 *, vt_uint_16) { return VT_E_FAIL; }
vt_error HostSelectorBaseSet(vt_uint_16, vt_uint_32) { return VT_E_FAIL; }
vt_uint_16 HostSelectorCS() { return 0; }
vt_uint_16 HostSelectorDS() { return 0; }
vt_uint_16 HostSelectorES() { return 0; }
vt_uint_16 HostSelectorSS() { return 0; }
vt_error HostSelectorFree(vt_uint_16) { return VT_E_FAIL; }
vt_error HostSelectorLimitQuery(vt_uint_32 *, vt_uint_16) { return VT_E_FAIL; }
vt_error HostSelectorLimitSet(vt_uint_16, vt_uint_32) { return VT_E_FAIL; }
vt_error HostSelectorReal(vt_uint_16 *) { return VT_E_FAIL; }
void HostFarBlockFill(vt_uint_16, vt_uint_32, vt_uint_8, vt_uint_32) {}
void HostFarBlockRead(vt_uint_16, vt_uint_32, void *, vt_uint_32) {}
void HostFarBlockWrite(vt_uint_16, vt_uint_32, const void *, vt_uint_32) {}
vt_uint_8 HostFarByteRead(vt_uint_16, vt_uint_32) { return 0; }
void HostFarByteWrite(vt_uint_16, vt_uint_32, vt_uint_8) {}
vt_uint_32 HostFarDWordRead(vt_uint_16, vt_uint_32) { return 0; }
void HostFarDWordWrite(vt_uint_16, vt_uint_32, vt_uint_32) {}
void HostFarStringRead(vt_uint_16, vt_uint_32, char *dest, vt_size max) {
    if (dest && max)
        dest[0] = '\0';
}
void HostFarStringWrite(vt_uint_16, vt_uint_32, const char *, vt_size) {}
vt_uint_16 HostFarWordRead(vt_uint_16, vt_uint_32) { return 0; }
void HostFarWordWrite(vt_uint_16, vt_uint_32, vt_uint_16) {}
