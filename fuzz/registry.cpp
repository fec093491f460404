// The registry key file ("ruvo.reg") and the services that read it: the
// install drive, the drive letters and the CD-ROM list.
#include <cstdint>

#include "app/system.h"
#include "fuzz_files.h"
#include "os/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    fuzzfiles::Write("ruvo.reg", data, size);
    osRegistryFlush();
    char buf[64];
    osRegistryRead("SOFTWARE\\Hollowmere\\Ruvo", nullptr, buf, sizeof buf);
    ReadInstallPaths();
    FindCdDrives();
    for (char d = 'A'; d <= 'Z'; ++d) osDriveFolder(d);
    return 0;
}
