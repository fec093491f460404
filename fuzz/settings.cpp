// The settings files and the registry key file: arbitrary bytes as
// "Vantor.ini" and as the key file, read section by section into buffers of
// every size around a fit (each exactly as large as given), written back,
// and read by the rendering library as it begins and stores its settings.
#include <cstdint>
#include <vector>

#include "fuzz_files.h"
#include "os/profile.h"
#include "os/registry.h"
#include "render/config/config.h"
#include "render/fw/fw.h"
#include "render/tokens/token.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

void countValue(const char *, const char *data, void *arg) { *static_cast<int *>(arg) += data ? 1 : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    fuzzfiles::Write("Vantor.ini", data, size);
    fuzzfiles::Write("ruvo.reg", data, size);
    osRegistryFlush();
    for (const char *section : {"Vantor", "1.3.0", ""}) {
        for (size_t bytes : {2, 3, 4, 5, 7, 16, 256}) {
            std::vector<char> buffer(bytes);
            osIniSectionRead("vantor.ini", section, buffer.data(), buffer.size());
        }
    }
    int values = 0;
    osRegistryKeyEnum("SOFTWARE\\Corvanth\\Vantor\\1.3.0", countValue, &values);

    // The library reads both as it begins, and writes its settings back.
    VtDiagHandlerSet(&quietDiag);
    if (VtBegin() == VT_E_OK) {
        VtSystemConfigStore(VTT_INI_STR, "Vantor.ini", "Vantor");
        VtSystemConfigStore(VTT_REGISTRY_STR, nullptr, "SOFTWARE\\Corvanth\\Vantor\\1.3.0");
        VtEnd();
    }
    std::vector<char> back(64);
    osIniSectionRead("Vantor.ini", "Vantor", back.data(), back.size());
    osIniSectionWrite("Vantor.ini", "Extra", "a=1\0b\0");
    osRegistryKeyWrite("SOFTWARE\\Corvanth\\Vantor\\1.3.0", "VANTOR_PATH", "dat");
    return 0;
}
