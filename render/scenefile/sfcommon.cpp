// The loaders' loop and the stack discipline every scene chunk handler
// follows.
#include <cstdarg>

#include "render/fmt/fmt.h"
#include "render/scenefile/sfprivate.h"
#include "render/tokens/token.h"

void *SfRecordParent() {
    void *root = VtSceneDbRoot();
    return root ? root : VtFrameworkRoot();
}

int SfFail(vt_datafile *df, const char *format, ...) {
    char message[256];
    va_list args;
    va_start(args, format);
    VtVSprintfN(message, sizeof message, format, args);
    va_end(args);
    df->failed = 1;
    VtFailure("%s", message);
    return kSfFail;
}

void *SfPop(vt_datafile *df, int type, int *pextra) {
    void *v = DfPop(type, pextra);
    if (v == nullptr)
        df->failed = 1;
    return v;
}

void *SfTop(vt_datafile *df, int type, int *pextra) {
    void *v = DfTop(type, pextra);
    if (v == nullptr)
        df->failed = 1;
    return v;
}

bool SfPush(vt_datafile *df, int type, void *value, int extra) {
    DfPush(type, value, extra);
    // A full stack has reported itself and kept nothing.
    if (DfTopType() == type && DfTop(type, nullptr) == value)
        return true;
    SfFreeEntry(type, value);
    df->failed = 1;
    return false;
}

void SfFreeEntry(int type, void *value) {
    if (value == nullptr)
        return;
    switch (type) {
    case SF_STACK_MATERIAL:
        VtMaterialFree(static_cast<vt_material *>(value));
        break;
    case SF_STACK_ACTOR:
        VtActorFree(static_cast<vt_actor *>(value));
        break;
    case SF_STACK_MODEL:
        VtModelFree(static_cast<vt_model *>(value));
        break;
    default:
        VtResFree(value);
        break;
    }
}

bool SfStructRead(vt_datafile *df, const vt_file_struct *str, void *base, void *owner) {
    void *old = df->res;
    df->res = owner;
    const bool ok = df->prims->struct_read(df, str, base) && !df->failed;
    df->res = old;
    return ok;
}

void SfStructChunkWrite(vt_datafile *df, vt_uint_32 id, const vt_file_struct *str, const void *base) {
    df->prims->chunk_write(df, id, vt_uint_32(df->prims->struct_size(df, str, base)));
    df->prims->struct_write(df, str, base);
}

void SfNameChunkWrite(vt_datafile *df, vt_uint_32 id, const char *name) {
    df->prims->chunk_write(df, id, vt_uint_32(df->prims->name_size(df, name)));
    df->prims->name_write(df, name);
}

namespace {

// Frees the partial records a stopped load left above its datafile.
void dropPartial() {
    for (;;) {
        const int t = DfTopType();
        if (t == 0 || t == DF_STACK_DATAFILE)
            return;
        SfFreeEntry(t, DfPop(t, nullptr));
    }
}

} // namespace

vt_uint_32 SfLoadMany(const char *filename, const sf_kind &kind, void **items, vt_uint_32 num, bool *failed) {
    if (failed)
        *failed = false;
    vt_datafile *df = DfOpen(filename, 0, VTT_FLOAT);
    if (df == nullptr) {
        if (failed)
            *failed = true;
        return 0;
    }
    vt_uint_32 count = 0;
    bool bad = false;
    while (count < num) {
        const int r = DfChunksInterpret(df, kind.table);
        if (r != 0 && r != 1) {
            bad = true;
            break;
        }
        // A record finished by END, or by the end of the file.
        if (DfTopType() == kind.stack_type) {
            void *item = DfPop(kind.stack_type, nullptr);
            if (kind.finished && !kind.finished(item)) {
                kind.free_item(item);
                bad = true;
                break;
            }
            if (items)
                items[count] = item;
            else
                kind.free_item(item);
            count++;
        }
        if (r == 0)
            break;
    }
    dropPartial();
    DfClose(df);
    if (bad) {
        for (vt_uint_32 i = 0; items && i < count; i++)
            kind.free_item(items[i]);
        if (failed)
            *failed = true;
        return 0;
    }
    return count;
}

void *SfLoadOne(const char *filename, const sf_kind &kind) {
    void *item = nullptr;
    return SfLoadMany(filename, kind, &item, 1, nullptr) == 1 ? item : nullptr;
}

vt_error SfFileCount(const char *filename, const sf_kind &kind, vt_uint_32 *num) {
    bool failed = false;
    const vt_uint_32 n = SfLoadMany(filename, kind, nullptr, UINT32_MAX, &failed);
    if (num)
        *num = n;
    return failed ? VT_E_FAIL : VT_E_OK;
}

vt_uint_32 SfSaveMany(const char *filename, vt_uint_32 file_type, void *const *items, vt_uint_32 num,
                      bool (*write)(vt_datafile *df, void *item)) {
    vt_datafile *df = DfOpen(filename, 1, VTT_FLOAT);
    if (df == nullptr)
        return 0;
    DfFileInfoWrite(df, file_type);
    vt_uint_32 written = 0;
    for (vt_uint_32 i = 0; i < num; i++)
        if (items[i] && write(df, items[i]))
            written++;
    DfClose(df);
    return written;
}

bool SfModelFacesValid(const vt_model *model) {
    for (int f = 0; f < model->nfaces; f++)
        for (int k = 0; k < 3; k++)
            if (model->faces[f].vertices[k] >= model->nvertices) {
                VtFailure("Model %s: face %d names vertex %d of %d", model->identifier ? model->identifier : "<NULL>",
                          f, model->faces[f].vertices[k], model->nvertices);
                return false;
            }
    return true;
}
