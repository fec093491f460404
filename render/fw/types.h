// Scalar types and result codes shared by every module of the library.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int8_t vt_int_8;
typedef uint8_t vt_uint_8;
typedef int16_t vt_int_16;
typedef uint16_t vt_uint_16;
typedef int32_t vt_int_32;
typedef uint32_t vt_uint_32;
typedef int32_t vt_boolean;
typedef int32_t vt_fixed;   // signed 16.16
typedef float vt_float;
typedef uint16_t vt_angle;  // 65536 to a turn
typedef uint32_t vt_colour; // 0x00RRGGBB
typedef uint32_t vt_token;
typedef uintptr_t vt_size;

// Result of every fallible library call.
typedef uint32_t vt_error;

enum : vt_error {
    VT_E_OK = 0,
    VT_E_UNKNOWN = 0x1001,        // token or kind the callee does not know
    VT_E_FAIL = 0x1002,
    VT_E_NO_MEMORY = 0x1003,      // out of memory or a limit reached
    VT_E_OVERFLOW = 0x1004,       // the caller's buffer is too small
    VT_E_NOT_ACTIVE = 0x1006,     // end without begin
    VT_E_ALREADY_ACTIVE = 0x1007, // begin twice
    VT_E_UNSUPPORTED = 0x1008,
};

#define VT_FIXED_ONE 65536

// Every record that a registry keeps starts like this: the registry reads
// the item's name from the second word.
struct vt_named {
    void *reserved;
    const char *identifier;
};

#if defined(__GNUC__)
#define VT_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define VT_PRINTF(f, a)
#endif
