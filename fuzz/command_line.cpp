// The command line: arbitrary bytes split into option words and a mission
// script name, each word looked up in the option table.
#include <cstdint>
#include <string>

#include "app/shell.h"
#include "core/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string line(reinterpret_cast<const char *>(data), size);
    ShellReadCommandLine(line.c_str());
    ResetOptions();
    return 0;
}
