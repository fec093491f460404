// The LWOB container: the form read whole, its chunks and a surface's
// sub-chunks found by id, every length checked against what holds it.
#include <cstdlib>
#include <cstring>

#include "core/log.h"
#include "present/lwo/lwo.h"
#include "present/lwo/lwo_detail.h"

LwoSurfaceSlot LwoSurfaceSlots[kLwoSlotCount];
char LwoCurrentObjectName[kLwoObjectNameSize];
char LwoErrorText[kLwoErrorTextSize];

namespace {
constexpr size_t kChunkHeader = 8;
constexpr size_t kSubChunkHeader = 6;
}  // namespace

bool LwoReadF32BE(ByteView v, size_t at, float *out) {
    uint32_t u;
    if (!ReadU32Be(v, at, &u)) return false;
    std::memcpy(out, &u, 4);
    return true;
}

uint8_t *LwoReadFile(FILE *stream, uint32_t available, uint32_t *sizeOut) {
    uint8_t header[8];
    uint32_t size = 0;
    if (!stream || std::fread(header, 1, 8, stream) != 8 || !ReadU32Be(BytesOf(header, 8), 4, &size)) {
        dunDebugPrint("Unable to find indicated file");
        return nullptr;
    }
    // A form that announces more than the file holds is cut short.
    if (available < 8 || size > available - 8) return nullptr;
    auto *block = static_cast<uint8_t *>(std::malloc(size ? size : 1));
    if (!block) {
        dunDebugPrint("Unable to assign temporary memory for conversion of object to vantor format. \n");
        return nullptr;
    }
    if (std::fread(block, 1, size, stream) != size) {
        std::free(block);
        return nullptr;
    }
    *sizeOut = size;
    return block;
}

bool LwoWalkChunks(ByteView form, const std::function<bool(ByteView id, ByteView data)> &visit) {
    size_t at = 4;
    uint32_t size = 0;
    while (BytesHave(form, at, kChunkHeader)) {
        ReadU32Be(form, at + 4, &size);
        ByteView data;
        if (!BytesSub(form, at + kChunkHeader, size, &data)) return false;
        if (!visit(ByteView{form.data + at, 4}, data)) return true;
        at += kChunkHeader + size;
    }
    return true;
}

bool LwoChunksFit(ByteView form) {
    return LwoWalkChunks(form, [](ByteView, ByteView) { return true; });
}

bool LwoFindChunk(ByteView form, const char id[4], ByteView *data) {
    bool found = false;
    LwoWalkChunks(form, [&](ByteView chunkId, ByteView chunk) {
        if (!BytesMatch(chunkId, 0, id, 4)) return true;
        *data = chunk;
        found = true;
        return false;
    });
    return found;
}

bool LwoFindSubChunk(ByteView subChunks, const char id[4], ByteView *data) {
    size_t at = 0;
    uint16_t length = 0;
    while (BytesHave(subChunks, at, kSubChunkHeader)) {
        ReadU16Be(subChunks, at + 4, &length);
        ByteView found;
        if (!BytesSub(subChunks, at + kSubChunkHeader, length, &found)) return false;
        if (BytesMatch(subChunks, at, id, 4)) {
            if (BytesMatch(found, 0, "(none)", 6)) return false;
            *data = found;
            return true;
        }
        at += kSubChunkHeader + length + (length & 1);
    }
    return false;
}
