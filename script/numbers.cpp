// Script numbers: our own scanner, so that names such as "Inferno" or
// "NAN1" stay names and "0x10" reads as the 0 before the letter, whatever
// the C library's conversions would accept.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "script/tokens.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ScanScriptNumber(const char *word, float *value) {
    const char *p = word;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char *start = p;
    int digits = 0;
    while (IsDigit(*p)) ++p, ++digits;
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) ++p, ++digits;
    }
    if (!digits) return false;
    bool negativeExponent = false;
    if (*p == 'e' || *p == 'E') {
        const char *e = p + 1;
        if (*e == '+' || *e == '-') negativeExponent = *e++ == '-';
        if (IsDigit(*e)) {
            while (IsDigit(*e)) ++e;
            p = e;
        }
    }
    double d = 0;
    auto result = std::from_chars(start, p, d, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) d = negativeExponent ? 0.0 : DBL_MAX;
    if (d > FLT_MAX) d = FLT_MAX;
    float f = (float)d;
    *value = negative ? -f : f;
    return true;
}

int32_t ScriptTrunc(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return (int32_t)value;
}
