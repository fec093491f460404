// Fuzzes the library lexer and its parsers with arbitrary text.
#include <cstdint>
#include <string>

#include "render/fmt/lexer.h"
#include "render/fw/fw.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};
vt_lexer_keyword keywords[] = {{"true", 200}, {"false", 201}, {"t", 200}};

bool begun = [] {
    VtDiagHandlerSet(&quietDiag);
    return VtBegin() == VT_E_OK;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!begun || size == 0)
        return 0;
    // The first byte picks the comment character; the rest is the text.
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    vt_lexer *l = VtLexerAllocate(keywords, 3);
    if (l == nullptr)
        return 0;
    VtLexerCommentSet(l, char(data[0] & 0x7F));
    VtLexerPushString(l, text.c_str(), "fuzz");
    VtLexerAdvance(l);
    for (int guard = 0; l->current.id != VT_T_EOF && guard < 100000; guard++)
        VtLexerAdvance(l);

    // The same text through the parsers.
    VtLexerPushString(l, text.c_str(), nullptr);
    VtLexerAdvance(l);
    float v[4];
    vt_fixed m[12];
    for (int guard = 0; l->current.id != VT_T_EOF && guard < 10000; guard++) {
        switch (guard % 4) {
        case 0: VtParseVectorFloat(l, v, 4); break;
        case 1: VtParseMatrixFixed(l, m, 3, 4); break;
        case 2: VtParseFixed(l); break;
        default: VtParseInteger(l); break;
        }
    }
    VtLexerFree(l);
    return 0;
}
