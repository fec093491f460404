// The plan-view wireframe of an object (seen along its y axis), with the
// connected pieces of its edge graph and their rectangles, and the point
// list written as text.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RES/slab.h"
#include "RES/util.h"
#include "core/files.h"
#include "core/log.h"
#include "present/lwo/lwo.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"
#include "present/lwo/lwo_detail.h"

using namespace lwodetail;

namespace {

// Labels the points by connected piece (the larger of two meeting labels
// gives way), then numbers the labels in use from 0 up.
void LabelParts(WireframeModel *w) {
    const int n = w->pointCount;
    std::vector<int> label(size_t(n), -1);
    int nextLabel = 0;
    for (int e = 0; e < w->edgeCount; ++e) {
        const int a = w->edges[e][0], b = w->edges[e][1];
        if (label[size_t(a)] < 0 && label[size_t(b)] < 0) {
            label[size_t(a)] = label[size_t(b)] = nextLabel++;
        } else if (label[size_t(a)] >= 0 && label[size_t(b)] >= 0) {
            const int keep = std::min(label[size_t(a)], label[size_t(b)]);
            const int retire = std::max(label[size_t(a)], label[size_t(b)]);
            if (keep != retire) std::replace(label.begin(), label.end(), retire, keep);
        } else {
            const int l = std::max(label[size_t(a)], label[size_t(b)]);
            label[size_t(a)] = label[size_t(b)] = l;
        }
    }
    std::vector<int> number(size_t(nextLabel), -1);
    for (int l : label)
        if (l >= 0) number[size_t(l)] = 0;
    int parts = 0;
    for (int &k : number)
        if (k == 0) k = parts++;
    w->partCount = uint16_t(parts);
    std::vector<float> lo(size_t(parts) * 2, 0), hi(size_t(parts) * 2, 0);
    std::vector<bool> seen(size_t(parts), false);
    for (int p = 0; p < n; ++p) {
        const int part = label[size_t(p)] < 0 ? -1 : number[size_t(label[size_t(p)])];
        w->points[p][2] = float(part);
        if (part < 0) continue;
        for (int k = 0; k < 2; ++k) {
            float &l = lo[size_t(part) * 2 + size_t(k)], &h = hi[size_t(part) * 2 + size_t(k)];
            const float v = w->points[p][k];
            if (!seen[size_t(part)] || v < l) l = v;
            if (!seen[size_t(part)] || v > h) h = v;
        }
        seen[size_t(part)] = true;
    }
    for (int q = 0; q < parts; ++q) {
        w->parts[q][0] = lo[size_t(q) * 2];
        w->parts[q][1] = lo[size_t(q) * 2 + 1];
        w->parts[q][2] = hi[size_t(q) * 2] - lo[size_t(q) * 2];
        w->parts[q][3] = hi[size_t(q) * 2 + 1] - lo[size_t(q) * 2 + 1];
    }
}

// One block: the record, then the points, the edges and the parts.
WireframeModel *AllocWireframe(size_t points, size_t edges) {
    const size_t bytes =
        sizeof(WireframeModel) + points * sizeof(float[3]) + points * sizeof(float[4]) + edges * sizeof(uint16_t[2]);
    auto *w = static_cast<WireframeModel *>(dunAlloc(bytes));
    if (!w) return nullptr;
    auto *p = reinterpret_cast<uint8_t *>(w + 1);
    w->points = reinterpret_cast<float(*)[3]>(p);
    p += points * sizeof(float[3]);
    w->parts = reinterpret_cast<float(*)[4]>(p);
    p += points * sizeof(float[4]);
    w->edges = reinterpret_cast<uint16_t(*)[2]>(p);
    w->pointCount = uint16_t(points);
    w->edgeCount = uint16_t(edges);
    return w;
}

WireframeModel *BuildWireframe(const char *path, ByteView form) {
    if (!LwoChunksFit(form)) return Refuse(path, "a chunk runs past the end of the file"), nullptr;
    ByteView pols, pnts{};
    if (!LwoFindChunk(form, "POLS", &pols)) return RefuseGameFile(path, "it has no polygons"), nullptr;
    LwoFindChunk(form, "PNTS", &pnts);
    const size_t points = pnts.size / 12;
    size_t edges = 0;
    bool badPoint = false;
    const bool whole = WalkPolygons(pols, [&](uint16_t n, ByteView pts, int16_t) {
        if (n == 1) dunErrorBox("Single point polygon in WRI object.", "LWOB Loader Error");
        edges += n;
        for (uint16_t i = 0; i < n; ++i) {
            uint16_t p = 0;
            ReadU16Be(pts, 2 * size_t(i), &p);
            badPoint |= p >= points;
        }
        return true;
    });
    if (!whole) return Refuse(path, "a polygon runs past the end of its chunk"), nullptr;
    if (badPoint) return Refuse(path, "a polygon names a point the object does not have"), nullptr;
    if (points > 0xFFFF || edges > 0xFFFF) return Refuse(path, "more than 65535 points or edges"), nullptr;
    WireframeModel *w = AllocWireframe(points, edges);
    if (!w) return nullptr;
    size_t e = 0;
    WalkPolygons(pols, [&](uint16_t n, ByteView pts, int16_t) {
        for (uint16_t i = 0; i < n; ++i) {
            ReadU16Be(pts, 2 * size_t(i), &w->edges[e][0]);
            ReadU16Be(pts, 2 * size_t((i + 1) % n), &w->edges[e][1]);
            ++e;
        }
        return true;
    });
    for (size_t p = 0; p < points; ++p) {
        float x, z;
        LwoReadF32BE(pnts, p * 12, &x);
        LwoReadF32BE(pnts, p * 12 + 8, &z);
        w->points[p][0] = -z;
        w->points[p][1] = x;
    }
    LabelParts(w);
    return w;
}

}  // namespace

void *LwoLoadWireframe(const char *path, void *, uint32_t *status) {
    if (!path) return nullptr;
    ClearSlotNames();
    uint32_t available = 0;
    FILE *f = slabOpen("shapes", path, &available);
    if (!f) {
        ReportMissing(path);
        if (status) *status = 0;
        return nullptr;
    }
    SetCurrentObjectName(path);
    const Image image = ReadImage(f, available);
    slabClose(f);
    if (!image.block) {
        RefuseGameFile(path, "it is shorter than its header says");
        return nullptr;
    }
    return BuildWireframe(path, image.form);
}

bool LwoSavePoints(const char *path, const char *outputPath) {
    if (!path || !outputPath) return false;
    ClearSlotNames();
    uint32_t available = 0;
    FILE *f = slabOpen("shapes", path, &available);
    if (!f) {
        std::snprintf(LwoErrorText, sizeof LwoErrorText, "Slight problem. The file %s cannot be opened.", path);
        dunErrorBox(LwoErrorText, "LWOB Pnts Loader Error");
        return false;
    }
    SetCurrentObjectName(path);
    const Image image = ReadImage(f, available);
    slabClose(f);
    if (!image.block) return false;
    ByteView pnts{};
    if (LwoChunksFit(image.form)) LwoFindChunk(image.form, "PNTS", &pnts);
    // A list that cannot be written is a failure, not a success.
    FILE *out = OpenGameFile(outputPath, "wb");
    if (!out) return false;
    for (size_t p = 0; p < pnts.size / 12; ++p) {
        float x, y, z;
        LwoReadF32BE(pnts, p * 12, &x);
        LwoReadF32BE(pnts, p * 12 + 4, &y);
        LwoReadF32BE(pnts, p * 12 + 8, &z);
        std::fprintf(out, "%.0f,%.0f,%.0f, ", double(x), double(-y), double(z));
    }
    std::fputs("\r\n", out);
    return std::fclose(out) == 0;
}
