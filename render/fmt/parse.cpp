// Number, vector and matrix parsers.
#include "render/fmt/lexer.h"

namespace {

// Takes an optional sign token; true for a minus.
bool takeSign(vt_lexer *l) {
    if (l->current.id == '-') {
        l->advance(l);
        return true;
    }
    if (l->current.id == '+')
        l->advance(l);
    return false;
}

void missing(vt_lexer *l, const char *message) {
    l->error(l, message);
    l->advance(l);
}

vt_fixed fixedFromFloat(double f) {
    double v = f * 65536.0;
    if (!(v > -2147483648.0))
        return INT32_MIN;
    if (!(v < 2147483647.0))
        return INT32_MAX;
    return vt_fixed(v);
}

template <class T, T (*parse)(vt_lexer *)> vt_int_32 parseVector(vt_lexer *l, T *v, vt_int_32 max) {
    VtLexerExpect(l, '[');
    if (max < 1) {
        VtLexerExpect(l, ']');
        return 0;
    }
    vt_int_32 n = 0;
    for (;;) {
        v[n++] = parse(l);
        if (l->current.id == ']') {
            l->advance(l);
            return n;
        }
        if (n == max) {
            VtLexerExpect(l, ']');
            return n + 1;
        }
        VtLexerExpect(l, ',');
    }
}

template <class T, T (*parse)(vt_lexer *)>
vt_int_32 parseMatrix(vt_lexer *l, T *m, vt_int_32 width, vt_int_32 max_h) {
    VtLexerExpect(l, '[');
    vt_int_32 rows = 0;
    for (; rows < max_h; rows++) {
        if (rows > 0)
            VtLexerExpect(l, ',');
        parseVector<T, parse>(l, m + rows * width, width);
    }
    VtLexerExpect(l, ']');
    return rows;
}

} // namespace

vt_int_32 VtParseInteger(vt_lexer *l) {
    bool neg = takeSign(l);
    if (l->current.id != VT_T_INTEGER) {
        missing(l, "expecting an integer");
        return 0;
    }
    vt_int_32 v = l->current.integer;
    l->advance(l);
    return neg ? vt_int_32(0u - vt_uint_32(v)) : v;
}

vt_float VtParseFloat(vt_lexer *l) {
    bool neg = takeSign(l);
    vt_float v;
    if (l->current.id == VT_T_REAL)
        v = l->current.real;
    else if (l->current.id == VT_T_INTEGER)
        v = vt_float(l->current.integer);
    else {
        missing(l, "expecting a float");
        return 0;
    }
    l->advance(l);
    return neg ? -v : v;
}

vt_fixed VtParseFixed(vt_lexer *l) {
    bool neg = takeSign(l);
    vt_fixed v;
    if (l->current.id == VT_T_REAL)
        v = fixedFromFloat(l->current.real);
    else if (l->current.id == VT_T_INTEGER)
        v = vt_fixed(vt_uint_32(l->current.integer) << 16);
    else {
        missing(l, "expecting a fixed");
        return 0;
    }
    l->advance(l);
    return neg ? vt_fixed(0u - vt_uint_32(v)) : v;
}

vt_int_32 VtParseVectorFixed(vt_lexer *l, vt_fixed *v, vt_int_32 max) {
    return parseVector<vt_fixed, VtParseFixed>(l, v, max);
}

vt_int_32 VtParseVectorFloat(vt_lexer *l, vt_float *v, vt_int_32 max) {
    return parseVector<vt_float, VtParseFloat>(l, v, max);
}

vt_int_32 VtParseMatrixFixed(vt_lexer *l, vt_fixed *m, vt_int_32 width, vt_int_32 max_h) {
    return parseMatrix<vt_fixed, VtParseFixed>(l, m, width, max_h);
}

vt_int_32 VtParseMatrixFloat(vt_lexer *l, vt_float *m, vt_int_32 width, vt_int_32 max_h) {
    return parseMatrix<vt_float, VtParseFloat>(l, m, width, max_h);
}
