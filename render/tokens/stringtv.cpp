// Parsing "w=320,h=200,b=16" style strings into pair lists.
#include <cstring>

#include "render/fmt/lexer.h"
#include "render/fw/fw.h"
#include "render/tokens/token.h"

namespace {

enum { T_TRUE = VT_T_KEYWORD, T_FALSE };

vt_lexer_keyword kKeywords[] = {
    {"true", T_TRUE},
    {"t", T_TRUE},
    {"false", T_FALSE},
    {"f", T_FALSE},
};

vt_lexer_error_cbfn *parseError;

const vt_token kNoValue[] = {VTT_NONE, VTT_BOOLEAN};
const vt_token kIdentValue[] = {VTT_TOKEN};
const vt_token kStringValue[] = {VTT_STRING, VTT_CONSTANT_STRING};
const vt_token kIntValue[] = {VTT_INT_32, VTT_UINT_32, VTT_INT_16, VTT_UINT_16, VTT_INT_8,   VTT_UINT_8,
                              VTT_FLOAT,  VTT_FIXED,   VTT_BOOLEAN, VTT_POINTER, VTT_OBJECT, VTT_HANDLE};
const vt_token kNegIntValue[] = {VTT_INT_32, VTT_INT_16, VTT_INT_8, VTT_FLOAT, VTT_FIXED, VTT_BOOLEAN};
const vt_token kRealValue[] = {VTT_FIXED, VTT_FLOAT};
const vt_token kBoolValue[] = {VTT_BOOLEAN};

#define TYPES(a) a, vt_int_32(sizeof a / sizeof a[0])

const char *expandName(const char *name) {
    if (name[0] != '\0' && name[1] == '\0') {
        switch (name[0]) {
        case 'w': case 'W': return "width";
        case 'h': case 'H': return "height";
        case 'b': case 'B': return "pixel_bits";
        case 'm': case 'M': return "mode";
        }
    }
    return name;
}

vt_fixed fixedFrom(double v) {
    v *= 65536.0;
    if (!(v > -2147483648.0))
        return INT32_MIN;
    if (!(v < 2147483647.0))
        return INT32_MAX;
    return vt_fixed(v);
}

vt_value integerValue(vt_token type, vt_int_32 i) {
    switch (type) {
    case VTT_INT_8: return VtValueI32(vt_int_8(i));
    case VTT_UINT_8: return VtValueU32(vt_uint_8(i));
    case VTT_INT_16: return VtValueI32(vt_int_16(i));
    case VTT_UINT_16: return VtValueU32(vt_uint_16(i));
    case VTT_FIXED: return VtValueI32(fixedFrom(i));
    case VTT_FLOAT: return VtValueF(vt_float(i));
    case VTT_BOOLEAN: return VtValueU32(i != 0);
    case VTT_POINTER:
    case VTT_OBJECT:
    case VTT_HANDLE: {
        vt_value v;
        v.raw = uintptr_t(vt_uint_32(i));
        return v;
    }
    default: return VtValueI32(i);
    }
}

// The growing ends of the caller's buffer: pairs from the front, strings
// from the back; the slot after the last pair is kept for the terminator.
struct out_buffer {
    vt_token_value *tv;
    vt_int_32 n;
    char *strings; // lowest byte used by strings
    bool roomFor(vt_size string_bytes) const {
        auto *pairsEnd = reinterpret_cast<char *>(tv + n + 2);
        return pairsEnd <= strings && vt_size(strings - pairsEnd) >= string_bytes;
    }
    void add(vt_token t, vt_value v) {
        tv[n].t = t;
        tv[n].v = v;
        n++;
    }
};

} // namespace

vt_lexer_error_cbfn *VtStringToTokenValueErrorSet(vt_lexer_error_cbfn *error) {
    vt_lexer_error_cbfn *old = parseError;
    parseError = error;
    return old;
}

vt_int_32 VtStringToTokenValue(vt_token_value *buffer, vt_size buffer_size, const char *str) {
    if (buffer == nullptr || buffer_size < sizeof(vt_token_value))
        return 0;
    out_buffer out{buffer, 0, reinterpret_cast<char *>(buffer) + buffer_size};
    vt_lexer *l = VtLexerAllocate(kKeywords, sizeof kKeywords / sizeof kKeywords[0]);
    if (l == nullptr) {
        buffer[0].t = VTT_END;
        buffer[0].v.raw = 0;
        return 0;
    }
    VtLexerErrorSet(l, parseError);
    VtLexerPushString(l, str, nullptr);
    l->advance(l);

    char name[256];
    char text[256];
    while (l->current.id != VT_T_EOF) {
        if (l->current.id == ',') {
            l->advance(l);
            continue;
        }
        if (l->current.id != VT_T_IDENT) {
            VtLexerTokenError(l, VT_T_IDENT);
            continue;
        }
        strncpy(name, expandName(l->current.string), sizeof name - 1);
        name[sizeof name - 1] = '\0';
        l->advance(l);

        vt_token type = 0, t = 0;
        vt_value v;
        v.raw = 0;
        const char *string = nullptr;
        bool report = true;
        if (l->current.id != '=' && l->current.id != ':') {
            t = VtTokenFindType(&type, name, TYPES(kNoValue));
            if (type == VTT_BOOLEAN)
                v = VtValueU32(1);
        } else {
            l->advance(l);
            bool negative = false;
            if (l->current.id == '-' || l->current.id == '+') {
                negative = l->current.id == '-';
                l->advance(l);
            }
            switch (l->current.id) {
            case VT_T_IDENT:
                if (!negative) {
                    t = VtTokenFindType(&type, name, TYPES(kIdentValue));
                    v = VtValueU32(VtTokenFind(l->current.string));
                    report = false;
                    if (v.t == 0)
                        t = 0;
                }
                break;
            case VT_T_STRING:
                if (!negative) {
                    t = VtTokenFindType(&type, name, TYPES(kStringValue));
                    strncpy(text, l->current.string, sizeof text - 1);
                    text[sizeof text - 1] = '\0';
                    string = text;
                }
                break;
            case VT_T_INTEGER:
                if (negative)
                    t = VtTokenFindType(&type, name, TYPES(kNegIntValue));
                else
                    t = VtTokenFindType(&type, name, TYPES(kIntValue));
                v = integerValue(type, negative ? vt_int_32(0u - vt_uint_32(l->current.integer)) : l->current.integer);
                break;
            case VT_T_REAL: {
                t = VtTokenFindType(&type, name, TYPES(kRealValue));
                double r = negative ? -double(l->current.real) : double(l->current.real);
                v = type == VTT_FIXED ? VtValueI32(fixedFrom(r)) : VtValueF(vt_float(r));
                break;
            }
            case T_TRUE:
            case T_FALSE:
                if (!negative) {
                    t = VtTokenFindType(&type, name, TYPES(kBoolValue));
                    v = VtValueU32(l->current.id == T_TRUE);
                }
                break;
            default:
                l->error(l, "expecting a value");
                if (l->current.id != ',')
                    l->advance(l);
                continue;
            }
            l->advance(l); // past the value
        }
        if (t == 0) {
            if (report)
                l->error(l, "unknown token");
        } else if (string) {
            vt_size bytes = strlen(string) + 1;
            if (out.roomFor(bytes)) {
                out.strings -= bytes;
                memcpy(out.strings, string, bytes);
                out.add(t, VtValueP(out.strings));
            }
        } else if (out.roomFor(0)) {
            out.add(t, v);
        }
    }
    VtLexerFree(l);
    buffer[out.n].t = VTT_END;
    buffer[out.n].v.raw = 0;
    return out.n;
}
