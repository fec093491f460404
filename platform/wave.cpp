#include "platform/wave.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/bytes.h"
#include "core/files.h"

static constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}
static constexpr uint32_t kRiff = FourCC('R', 'I', 'F', 'F');
static constexpr uint32_t kWave = FourCC('W', 'A', 'V', 'E');
static constexpr uint32_t kFmt = FourCC('f', 'm', 't', ' ');
static constexpr uint32_t kData = FourCC('d', 'a', 't', 'a');

static bool ReadAt(WaveFile *f, uint32_t offset, void *out, uint32_t count) {
    if (offset > f->length || count > f->length - offset) return false;
    if (std::fseek(f->stream, long(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, count, f->stream) == count;
}


// Finds the chunk `id` among the chunks from `start` up to `end` (chunks are
// padded to an even length). The search never leaves the file.
static bool Descend(WaveFile *f, uint32_t start, uint32_t end, uint32_t id, WaveChunk *out) {
    if (end > f->length) end = f->length;
    uint32_t pos = start;
    while (pos <= end && end - pos >= 8) {
        uint8_t head[8];
        if (!ReadAt(f, pos, head, 8)) return false;
        uint32_t cid = 0, size = 0;
        ReadU32Le(BytesOf(head, 8), 0, &cid);
        ReadU32Le(BytesOf(head, 8), 4, &size);
        if (cid == id) {
            out->id = cid;
            out->size = size;
            out->form = 0;
            out->dataOffset = pos + 8;
            return true;
        }
        uint64_t next = uint64_t(pos) + 8 + size + (size & 1);
        if (next > end) return false;
        pos = uint32_t(next);
    }
    return false;
}

void WaveFree(void *block) { std::free(block); }

void WaveCloseFile(WaveFile *file) {
    if (!file) return;
    if (file->stream) std::fclose(file->stream);
    delete file;
}

static uint32_t OpenStream(FILE *stream, bool owned, WaveFile **file, WaveFormat **format, WaveChunk *riff) {
    *file = nullptr;
    *format = nullptr;
    WaveFile *f = new WaveFile{stream, 0};
    WaveFormat *rec = nullptr;
    uint32_t code = kWaveOk;
    long length = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0) length = std::ftell(stream);
    f->length = length < 0 ? 0 : length > 0x7FFFFFFF ? 0x7FFFFFFF : uint32_t(length);

    uint8_t head[12], fmt[16], count[2];
    WaveChunk fmtChunk{};
    uint16_t extra = 0, tag = 0;
    uint32_t riffId = 0, formId = 0;
    const ByteView fields = BytesOf(fmt, sizeof fmt);
    if (!ReadAt(f, 0, head, 12) || !ReadU32Le(BytesOf(head, 12), 0, &riffId) || riffId != kRiff ||
        !ReadU32Le(BytesOf(head, 12), 8, &formId) || formId != kWave) {
        code = kWaveNotWave;
        goto fail;
    }
    riff->id = kRiff;
    ReadU32Le(BytesOf(head, 12), 4, &riff->size);
    riff->form = kWave;
    riff->dataOffset = 8;
    if (!Descend(f, 12, uint32_t(std::min<uint64_t>(uint64_t(8) + riff->size, f->length)), kFmt, &fmtChunk)) {
        code = kWaveChunkNotFound;
        goto fail;
    }
    if (fmtChunk.size < 16) {
        code = kWaveNotWave;
        goto fail;
    }
    if (!ReadAt(f, fmtChunk.dataOffset, fmt, 16)) {
        code = kWaveBadFormat;
        goto fail;
    }
    ReadU16Le(fields, 0, &tag);
    if (tag != kWaveFormatPcm) {
        if (fmtChunk.size < 18 || !ReadAt(f, fmtChunk.dataOffset + 16, count, 2)) {
            code = kWaveBadFormat;
            goto fail;
        }
        ReadU16Le(BytesOf(count, sizeof count), 0, &extra);
    }
    rec = static_cast<WaveFormat *>(std::calloc(1, sizeof(WaveFormat) + extra));
    if (!rec) {
        code = kWaveNoMemory;
        goto fail;
    }
    ReadU16Le(fields, 0, &rec->formatTag);
    ReadU16Le(fields, 2, &rec->channels);
    ReadU32Le(fields, 4, &rec->samplesPerSec);
    ReadU32Le(fields, 8, &rec->avgBytesPerSec);
    ReadU16Le(fields, 12, &rec->blockAlign);
    ReadU16Le(fields, 14, &rec->bitsPerSample);
    rec->extraSize = extra;
    // The extra bytes must lie inside the chunk as well as inside the file.
    if (extra && (fmtChunk.size - 18 < extra || !ReadAt(f, fmtChunk.dataOffset + 18, rec->extra, extra))) {
        code = kWaveNotWave;
        goto fail;
    }
    *file = f;
    *format = rec;
    return kWaveOk;

fail:
    std::free(rec);
    if (!owned) f->stream = nullptr;
    WaveCloseFile(f);
    return code;
}

uint32_t WaveOpenFile(const char *name, WaveFile **file, WaveFormat **format, WaveChunk *riff) {
    *file = nullptr;
    *format = nullptr;
    FILE *stream = name ? OpenGameFile(name, "rb") : nullptr;
    if (!stream) return kWaveCannotOpen;
    return OpenStream(stream, true, file, format, riff);
}

uint32_t WaveStartDataRead(WaveFile *file, WaveChunk *data, const WaveChunk *riff) {
    uint64_t end = uint64_t(riff->dataOffset) + riff->size;
    if (!Descend(file, riff->dataOffset + 4, uint32_t(std::min<uint64_t>(end, file->length)), kData, data))
        return kWaveChunkNotFound;
    return kWaveOk;
}

uint32_t WaveReadFile(WaveFile *file, uint32_t wanted, uint8_t *buffer, WaveChunk *data, uint32_t *read) {
    *read = 0;
    if (wanted > data->size) wanted = data->size;
    uint32_t available = data->dataOffset <= file->length ? file->length - data->dataOffset : 0;
    if (wanted > available) return kWaveCorrupt;
    if (wanted && !ReadAt(file, data->dataOffset, buffer, wanted)) return kWaveCorrupt;
    data->size -= wanted;
    data->dataOffset += wanted;
    *read = wanted;
    return kWaveOk;
}

static uint32_t LoadOpened(WaveFile *f, WaveFormat *rec, const WaveChunk &riff, uint32_t *size, WaveFormat **format,
                           uint8_t **samples) {
    WaveChunk data{};
    uint32_t code = WaveStartDataRead(f, &data, &riff);
    uint8_t *bytes = nullptr;
    uint32_t got = 0;
    if (code == kWaveOk) {
        // A data chunk that claims more than the file holds is refused before
        // anything of its claimed size is allocated.
        if (data.dataOffset > f->length || data.size > f->length - data.dataOffset) {
            code = kWaveCorrupt;
        } else {
            bytes = static_cast<uint8_t *>(std::malloc(data.size ? data.size : 1));
            if (!bytes) code = kWaveNoMemory;
            else code = WaveReadFile(f, data.size, bytes, &data, &got);
        }
    }
    if (code != kWaveOk) {
        std::free(bytes);
        std::free(rec);
        return code;
    }
    *size = got;
    *format = rec;
    *samples = bytes;
    return kWaveOk;
}

// What a failure code says of a file that opened.
static const char *WaveProblem(uint32_t code) {
    switch (code) {
    case kWaveNotWave: return "not a RIFF WAVE file";
    case kWaveBadFormat: return "its format chunk cannot be read";
    case kWaveCorrupt: return "its sound data is cut short";
    case kWaveChunkNotFound: return "no format or data chunk";
    case kWaveNoMemory: return "too large to hold";
    default: return "it cannot be read";
    }
}

uint32_t WaveLoadFile(const char *name, uint32_t *size, uint32_t *unused, WaveFormat **format, uint8_t **samples) {
    *size = 0;
    if (unused) *unused = 0;
    *format = nullptr;
    *samples = nullptr;
    WaveFile *f = nullptr;
    WaveFormat *rec = nullptr;
    WaveChunk riff{};
    uint32_t code = WaveOpenFile(name, &f, &rec, &riff);
    if (code == kWaveOk) {
        code = LoadOpened(f, rec, riff, size, format, samples);
        WaveCloseFile(f);
    }
    if (code != kWaveOk && code != kWaveCannotOpen) RefuseGameFile(name, WaveProblem(code));
    return code;
}

uint32_t WaveLoadStream(FILE *stream, uint32_t *size, WaveFormat **format, uint8_t **samples) {
    *size = 0;
    *format = nullptr;
    *samples = nullptr;
    if (!stream) return kWaveCannotOpen;
    WaveFile *f = nullptr;
    WaveFormat *rec = nullptr;
    WaveChunk riff{};
    uint32_t code = OpenStream(stream, false, &f, &rec, &riff);
    if (code != kWaveOk) return code;
    code = LoadOpened(f, rec, riff, size, format, samples);
    f->stream = nullptr;
    WaveCloseFile(f);
    return code;
}
