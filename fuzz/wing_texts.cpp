// The wing's confirmations: any bytes as a text-table entry, composed with
// the wingman's placeholder and an object's name as the wing composes them.
// Conversions other than the first two "%s" print as written; the line
// never passes its buffer.
#include <cstdint>
#include <cstring>
#include <string>

#include "ai/wing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    char out[kWingTextBytes];
    for (const char *name : {"Raider", " ", "%s%n%d"}) {
        std::memset(out, 0x55, sizeof out);
        dunai_ComposeWingText(out, sizeof out, text.c_str(), "%s", name);
        if (!std::memchr(out, 0, sizeof out)) __builtin_trap();
        // Without conversions the text comes back as it stands.
        if (!std::strchr(text.c_str(), '%') && std::strncmp(out, text.c_str(), sizeof out - 1) != 0) __builtin_trap();
    }
    return 0;
}
