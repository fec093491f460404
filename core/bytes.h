// The one reader of file bytes every game format goes through: a plain view
// (pointer and size) and free functions that read 8-, 16- and 32-bit fields at
// an offset, little- or big-endian. A read that would leave the view returns
// false and leaves its result alone, so a short or lying file can never make a
// reader look past what it was given. Writers of the same fields sit beside
// them for the formats the game saves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct ByteView {
    const uint8_t *data = nullptr;
    size_t size = 0;
};

inline ByteView BytesOf(const void *data, size_t size) {
    return data ? ByteView{static_cast<const uint8_t *>(data), size} : ByteView{};
}

// True when `count` bytes from `at` lie inside the view (no overflow).
inline bool BytesHave(ByteView v, size_t at, size_t count) { return at <= v.size && count <= v.size - at; }

// The `count` bytes from `at`; false when they are not all there.
inline bool BytesSub(ByteView v, size_t at, size_t count, ByteView *out) {
    if (!BytesHave(v, at, count)) return false;
    *out = ByteView{v.data + at, count};
    return true;
}
// Everything from `at` to the end; empty when `at` lies past it.
inline ByteView BytesFrom(ByteView v, size_t at) {
    return at <= v.size ? ByteView{v.data + at, v.size - at} : ByteView{v.data + v.size, 0};
}
// The last `count` bytes; false when the view is shorter.
inline bool BytesTail(ByteView v, size_t count, ByteView *out) {
    if (count > v.size) return false;
    return BytesSub(v, v.size - count, count, out);
}

inline bool BytesCopy(ByteView v, size_t at, void *out, size_t count) {
    if (!BytesHave(v, at, count)) return false;
    if (count) std::memcpy(out, v.data + at, count);
    return true;
}
// Compares the bytes at `at` with a tag ("FORM", "RIFF"); false when short.
inline bool BytesMatch(ByteView v, size_t at, const char *tag, size_t count) {
    return BytesHave(v, at, count) && std::memcmp(v.data + at, tag, count) == 0;
}

inline bool ReadU8(ByteView v, size_t at, uint8_t *out) {
    if (!BytesHave(v, at, 1)) return false;
    *out = v.data[at];
    return true;
}

inline bool ReadU16Le(ByteView v, size_t at, uint16_t *out) {
    if (!BytesHave(v, at, 2)) return false;
    const uint8_t *p = v.data + at;
    *out = uint16_t(p[0] | p[1] << 8);
    return true;
}

inline bool ReadU32Le(ByteView v, size_t at, uint32_t *out) {
    if (!BytesHave(v, at, 4)) return false;
    const uint8_t *p = v.data + at;
    *out = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return true;
}

inline bool ReadU16Be(ByteView v, size_t at, uint16_t *out) {
    if (!BytesHave(v, at, 2)) return false;
    const uint8_t *p = v.data + at;
    *out = uint16_t(p[0] << 8 | p[1]);
    return true;
}

inline bool ReadU24Be(ByteView v, size_t at, uint32_t *out) {
    if (!BytesHave(v, at, 3)) return false;
    const uint8_t *p = v.data + at;
    *out = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
    return true;
}

inline bool ReadU32Be(ByteView v, size_t at, uint32_t *out) {
    if (!BytesHave(v, at, 4)) return false;
    const uint8_t *p = v.data + at;
    *out = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    return true;
}

inline bool ReadI16Le(ByteView v, size_t at, int16_t *out) {
    uint16_t u;
    if (!ReadU16Le(v, at, &u)) return false;
    *out = int16_t(u);
    return true;
}

inline bool ReadI32Le(ByteView v, size_t at, int32_t *out) {
    uint32_t u;
    if (!ReadU32Le(v, at, &u)) return false;
    *out = int32_t(u);
    return true;
}

// ---- Writers: the caller owns a block of at least at + field size bytes.

inline void PutU16Le(uint8_t *block, size_t at, uint32_t value) {
    block[at] = uint8_t(value);
    block[at + 1] = uint8_t(value >> 8);
}

inline void PutU32Le(uint8_t *block, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = uint8_t(value >> (8 * i));
}

inline void PutU16Be(uint8_t *block, size_t at, uint32_t value) {
    block[at] = uint8_t(value >> 8);
    block[at + 1] = uint8_t(value);
}

inline void PutU32Be(uint8_t *block, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = uint8_t(value >> (24 - 8 * i));
}
