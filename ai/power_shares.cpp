// The player ship's three power shares, moved by the engineering keys, and
// the values the engineering model derives from them.
#include <algorithm>

#include "ai/contacts.h"
#include "ai/scores.h"

float dunPowerShares[3];
float dunPowerDerived[3];

namespace {

void Derive() {
    const float *s = dunPowerShares;
    const float m = std::max({s[0], s[1], s[2]});
    const float t = m > 0.3f ? 322.0f - 72.0f * m : 300.0f;
    const float sum = s[0] + s[1] + s[2] + 1.5f;
    for (int i = 0; i < 3; ++i) dunPowerDerived[i] = t * (s[i] + 0.5f) / sum;
}

}  // namespace

void dunNormalisePowerShares() {
    float *s = dunPowerShares;
    const float sum = s[0] + s[1] + s[2];
    if (sum > 1.0f)
        for (int i = 0; i < 3; ++i) s[i] /= sum;
    // With all three in use the smallest is folded away: the leader (C,
    // then A, then B on ties) and the other keep what is left above it.
    if (s[0] != 0.0f && s[1] != 0.0f && s[2] != 0.0f) {
        for (int lead : {2, 0, 1}) {
            const int a = (lead + 1) % 3, b = (lead + 2) % 3;
            if (s[lead] < s[a] || s[lead] < s[b]) continue;
            const int small = s[a] <= s[b] ? a : b, other = small == a ? b : a;
            const float cut = s[small];
            s[lead] -= cut;
            s[other] -= cut;
            s[small] = 0.0f;
            break;
        }
    }
    Derive();
}

void dunShiftPowerShare(float amount, float *x, float *y, float *z) {
    if (!x || !y || !z) return;
    float *t = *y >= *z ? y : z;
    float a = amount;
    if (*x + a > 1.0f) a = 1.0f - *x;
    *x += a;
    *t = std::max(0.0f, *t - a * *x);
    dunNormalisePowerShares();
}

void dunResetPowerShares() {
    dunPowerShares[0] = dunPowerShares[1] = dunPowerShares[2] = 0.0f;
    Derive();
}
