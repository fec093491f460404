// Fuzzes the parser of "name=value,..." strings into token-value pairs,
// with the pair buffer sized by the first input byte so that any write past
// it is caught.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/fw/fw.h"
#include "render/tokens/token.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

bool begun = [] {
    VtDiagHandlerSet(&quietDiag);
    return VtBegin() == VT_E_OK;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!begun || size == 0)
        return 0;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    size_t bytes = data[0] * 4;
    auto *buffer = static_cast<vt_token_value *>(malloc(bytes ? bytes : 1));
    vt_int_32 n = VtStringToTokenValue(buffer, bytes, text.c_str());
    if (bytes >= sizeof(vt_token_value)) {
        // Every pair written is followed by the terminator inside the buffer.
        if (size_t(n + 1) * sizeof(vt_token_value) > bytes || buffer[n].t != 0)
            abort();
        for (vt_int_32 i = 0; i < n; i++)
            if (VtTokenIdentifier(buffer[i].t) == nullptr)
                abort();
    } else if (n != 0) {
        abort();
    }
    free(buffer);
    return 0;
}
