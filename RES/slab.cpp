#include "RES/slab.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "os/paths.h"

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Compares an index name (a fixed field, not always terminated) with the
// entry name, ASCII letters folded.
bool NameMatches(const uint8_t *field, const char *entry) {
    size_t i = 0;
    for (; i < SlabNameBytes; ++i) {
        char a = char(field[i]);
        if (Fold(a) != Fold(entry[i])) return false;
        if (!a) return true;
    }
    return entry[i] == 0;
}

// The header's entry count and index offset.
bool ReadSlabHeader(ByteView header, uint32_t *count, uint32_t *indexOffset) {
    return ReadU32Le(header, 4, count) && ReadU32Le(header, 8, indexOffset);
}

// An index entry whose name is `entry`: its data offset and size.
bool EntryMatches(ByteView e, const char *entry, uint32_t *dataOffset, uint32_t *dataSize) {
    if (!BytesHave(e, 0, SlabEntryBytes) || !NameMatches(e.data, entry)) return false;
    return ReadU32Le(e, 64, dataOffset) && ReadU32Le(e, 68, dataSize);
}

// The first place in `path` where the slab name's first four characters stand
// (case-sensitive, with four characters left); null when there is none.
const char *FindSlabWord(const char *slab, const char *path) {
    size_t n = std::strlen(path);
    for (size_t i = 0; i + 4 <= n; ++i)
        if (!std::strncmp(path + i, slab, 4)) return path + i;
    return nullptr;
}

std::string SlabPath(const char *slab) { return std::string("vek\\resource\\") + slab + ".slb"; }

// A damaged slab is asked once for every text or shape it should hold; one
// line says what is wrong with it rather than one per lookup. The same slab
// damaged otherwise (another reason, another length) or another file of its
// name (in another folder) says so again. The game has a handful of slabs;
// the last four refusals are remembered.
std::string gRefusals[4];
int gNextRefusal = 0;

void RefuseSlab(const std::string &path, FILE *f, const char *why) {
    long length = -1;
    const long at = std::ftell(f);
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    std::fseek(f, at, SEEK_SET);
    std::error_code ec;
    const std::string where = std::filesystem::absolute(osResolvePath(path.c_str(), false), ec).string();
    const std::string said = where + '\n' + why + '\n' + std::to_string(length);
    for (const std::string &r : gRefusals)
        if (r == said) return;
    gRefusals[gNextRefusal] = said;
    gNextRefusal = (gNextRefusal + 1) % 4;
    RefuseGameFile(path.c_str(), why);
}

// Reads the index entry by entry (nothing is cached between opens). Returns
// 1 found, 0 not found, -1 short read inside the index.
int SearchIndex(FILE *f, const char *entry, uint32_t *dataOffset, uint32_t *dataSize) {
    uint8_t header[SlabHeaderBytes];
    uint32_t count, indexOffset;
    if (std::fread(header, 1, sizeof header, f) != sizeof header ||
        !ReadSlabHeader(BytesOf(header, sizeof header), &count, &indexOffset))
        return -1;
    if (std::fseek(f, long(indexOffset), SEEK_SET) != 0) return -1;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t e[SlabEntryBytes];
        if (std::fread(e, 1, sizeof e, f) != sizeof e) return -1;
        if (EntryMatches(BytesOf(e, sizeof e), entry, dataOffset, dataSize)) return 1;
    }
    return 0;
}

// Size and read: the entry name is the path right after the slab's word.
bool FindTextEntry(const char *slab, const char *path, FILE **stream, uint32_t *offset, uint32_t *size) {
    if (!slab || !path || optNoSlab) return false;
    const char *word = FindSlabWord(slab, path);
    if (!word) return false;
    const std::string slabPath = SlabPath(slab);
    FILE *f = OpenGameFile(slabPath.c_str(), "rb");
    if (!f) return false;
    const int found = SearchIndex(f, word + 4, offset, size);
    if (found != 1) {
        if (found < 0) RefuseSlab(slabPath, f, "its index is cut short");
        std::fclose(f);
        return false;
    }
    *stream = f;
    return true;
}

}  // namespace

bool slabFindEntryBytes(const uint8_t *file, size_t fileSize, const char *entry, uint32_t *dataOffset,
                        uint32_t *dataSize) {
    const ByteView bytes = BytesOf(file, fileSize);
    uint32_t count, indexOffset;
    if (!BytesHave(bytes, 0, SlabHeaderBytes) || !ReadSlabHeader(bytes, &count, &indexOffset)) return false;
    ByteView e;
    size_t at = indexOffset;
    for (uint32_t i = 0; i < count; ++i, at += SlabEntryBytes) {
        if (!BytesSub(bytes, at, SlabEntryBytes, &e)) return false;
        if (EntryMatches(e, entry, dataOffset, dataSize)) return true;
    }
    return false;
}

FILE *slabOpen(const char *slab, const char *path, uint32_t *sizeOut) {
    if (!path) return nullptr;
    if (slab && !optNoSlab) {
        const char *word = FindSlabWord(slab, path);
        const char *entry = word ? std::strchr(word, '\\') : nullptr;
        FILE *f = entry ? OpenGameFile(SlabPath(slab).c_str(), "rb") : nullptr;
        if (f) {
            uint32_t offset = 0, size = 0;
            int found = SearchIndex(f, entry, &offset, &size);
            if (found < 0) {
                RefuseSlab(SlabPath(slab), f, "its index is cut short");
                std::fclose(f);
                dunFatalError("Slab Index Error");
            }
            if (found == 1 && std::fseek(f, long(offset), SEEK_SET) == 0) {
                if (sizeOut) *sizeOut = size;
                return f;
            }
            std::fclose(f);
        }
    }
    FILE *f = OpenGameFile(path, "rb");
    if (f && sizeOut) {
        std::fseek(f, 0, SEEK_END);
        long length = std::ftell(f);
        *sizeOut = length > 0 ? uint32_t(length) : 0;
        std::fseek(f, 0, SEEK_SET);
    }
    return f;
}

void slabClose(FILE *stream) {
    if (stream) std::fclose(stream);
}

uint32_t slabEntrySize(const char *slab, const char *path) {
    FILE *f;
    uint32_t offset, size;
    if (!FindTextEntry(slab, path, &f, &offset, &size)) return 0;
    std::fclose(f);
    return size;
}

void *slabReadEntry(const char *slab, const char *path, void *buffer, size_t capacity) {
    FILE *f;
    uint32_t offset, size;
    if (!buffer || !FindTextEntry(slab, path, &f, &offset, &size)) return nullptr;
    bool ok = size <= capacity && std::fseek(f, long(offset), SEEK_SET) == 0 &&
              std::fread(buffer, 1, size, f) == size;
    if (!ok && size <= capacity) RefuseSlab(SlabPath(slab), f, "an entry runs past its end");
    std::fclose(f);
    return ok ? buffer : nullptr;
}
