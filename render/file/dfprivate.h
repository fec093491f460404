// Shared pieces of the two datafile forms.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/file/datafile.h"
#include "render/std/stdlib.h"
#include "render/tokens/token.h"

// Reports a format failure and marks the datafile so that reading stops.
void DfFail(vt_datafile *df, const char *format, ...) VT_PRINTF(2, 3);

// The member type with the generic types (scalar, fraction, ufraction,
// vectorN) resolved by the datafile's scalar type; DF_TYPE_COUNT after a
// reported failure.
vt_uint_16 DfResolveType(vt_datafile *df, vt_uint_16 type);

// Number of scalars of a vector type (0 for others); whether they are fixed.
int DfVectorSize(vt_uint_16 type);
bool DfVectorIsFixed(vt_uint_16 type);

// Unaligned access to record fields.
template <typename T> inline T DfGet(const void *base, vt_size offset) {
    T v;
    memcpy(&v, static_cast<const char *>(base) + offset, sizeof v);
    return v;
}
template <typename T> inline void DfSet(void *base, vt_size offset, T v) {
    memcpy(static_cast<char *>(base) + offset, &v, sizeof v);
}

// A real to an integer of [lo, hi]: truncated, saturated, NaN to 0.
inline int64_t DfToInt(double v, int64_t lo, int64_t hi) {
    if (std::isnan(v))
        return 0;
    if (v <= double(lo))
        return lo;
    if (v >= double(hi))
        return hi;
    return int64_t(v);
}

// Largest block a datafile may ask for, whatever its chunk says.
constexpr uint64_t kDfBlockLimit = 64u << 20;

// Checks a block of count elements of size bytes (needing `units` of the
// current chunk) before anything is allocated for it.
bool DfBlockFits(vt_datafile *df, const char *who, int64_t count, int64_t size, uint64_t units);

// The invalid call of every slot of the "NULL" table (and of the slots of
// the other direction in the four form tables): reported as fatal, and the
// datafile stops when the handler returns.
int DfInvalidSkip(vt_datafile *df, vt_uint_32);
int DfInvalidChunkWrite(vt_datafile *df, vt_uint_32, vt_uint_32);
int DfInvalidChunkRead(vt_datafile *df, vt_uint_32 *);
void DfInvalidCountWrite(vt_datafile *df, vt_uint_32);
vt_uint_32 DfInvalidCountRead(vt_datafile *df);
int DfInvalidCountSize(vt_datafile *df);
vt_uint_32 DfInvalidStructWrite(vt_datafile *df, const vt_file_struct *, const void *);
vt_uint_32 DfInvalidStructRead(vt_datafile *df, const vt_file_struct *, void *);
int DfInvalidStructSize(vt_datafile *df, const vt_file_struct *, const void *);
int DfInvalidBlockWrite(vt_datafile *df, const void *, int, int, int, int);
void *DfInvalidBlockRead(vt_datafile *df, void *, int *, int, vt_uint_8);
int DfInvalidBlockSize(vt_datafile *df, const void *, int, int, int, int);
int DfInvalidNameWrite(vt_datafile *df, const char *);
char *DfInvalidNameRead(vt_datafile *df, char *);
int DfInvalidNameSize(vt_datafile *df, const char *);
