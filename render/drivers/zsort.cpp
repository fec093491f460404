// Z-sort primitives: built in the scene's primitive heap, linked into the
// buckets of an order table by their depth in front of the camera, and
// drawn from the farthest bucket to the nearest at the end of the scene.
#include <cstring>

#include "render/drivers/srstate.h"

namespace {

// n bytes of the heap, 16-byte aligned; null when it has no room left.
void *take(vt_primitive_heap *h, vt_size n) {
    if (h == nullptr || h->base == nullptr || h->current == nullptr)
        return nullptr;
    const uintptr_t base = reinterpret_cast<uintptr_t>(h->base), end = base + h->size;
    const uintptr_t at = (reinterpret_cast<uintptr_t>(h->current) + 15) & ~uintptr_t(15);
    if (at < base || at > end || end - at < n)
        return nullptr;
    h->current = reinterpret_cast<vt_uint_8 *>(at + n);
    return reinterpret_cast<void *>(at);
}

} // namespace

const sr_paint *SrHeapPaint(vt_primitive_heap *heap, const sr_paint &p) {
    void *m = take(heap, sizeof p);
    if (m)
        memcpy(m, &p, sizeof p);
    return static_cast<const sr_paint *>(m);
}

bool SrBucketInsert(const sr_hidden &h, const sr_paint *paint, vt_uint_8 kind, const sr_svert *v, int n,
                    const sr_flat &flat) {
    vt_order_table *ot = h.order_table;
    if (paint == nullptr || ot == nullptr || ot->table == nullptr || ot->size == 0 || n < 1 || n > SR_MAX_POLY)
        return false;
    auto *zp = static_cast<sr_zprim *>(take(h.heap, sizeof(sr_zprim) + sizeof(sr_svert) * vt_size(n)));
    if (zp == nullptr)
        return false;
    zp->paint = paint;
    zp->flat = flat;
    zp->kind = kind;
    zp->n = vt_uint_8(n);
    memcpy(SrZprimVertices(zp), v, sizeof(sr_svert) * vt_size(n));
    vt_scalar depths[SR_MAX_POLY];
    for (int k = 0; k < n; k++)
        depths[k] = v[k].vz;
    const vt_scalar z = VtOrderTablePrimitiveZ(ot, depths, kind == SR_PRIM_POINT ? 1 : n);
    const int b = VtOrderTableBucket(ot, z);
    zp->head.next = ot->table[b];
    ot->table[b] = &zp->head;
    if (h.insert)
        h.insert(&zp->head, h.insert_arg[0], h.insert_arg[1], h.insert_arg[2], ot, z);
    return true;
}

vt_error SrBucketsRender(vt_renderer *rr, vt_primitive **buckets, vt_int_32 n) {
    sr_renderer *r = SrRendererOf(rr);
    if (r == nullptr)
        return VT_E_FAIL;
    sr_target t;
    if (buckets == nullptr || !SrTargetOf(&t, r->state.output, false))
        return VT_E_OK;
    for (vt_int_32 b = n - 1; b >= 0; b--)
        for (vt_primitive *p = buckets[b]; p; p = p->next) {
            auto *zp = reinterpret_cast<sr_zprim *>(p);
            const sr_svert *v = SrZprimVertices(zp);
            // Built for a target of another type: its colours mean nothing here.
            if (zp->paint->target != t.type)
                continue;
            switch (zp->kind) {
            case SR_PRIM_POLYGON:
                for (int k = 1; k + 1 < zp->n; k++)
                    SrTriangle(t, *zp->paint, &v[0], &v[k], &v[k + 1], zp->flat);
                break;
            case SR_PRIM_LINE:
                SrLine(t, *zp->paint, &v[0], &v[1], zp->flat);
                break;
            default:
                SrPoint(t, *zp->paint, &v[0], zp->flat);
                break;
            }
        }
    return VT_E_OK;
}
