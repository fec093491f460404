// Hit-box models: every loaded model's collision record, with the
// axis-aligned boxes of its "_BOX.lwo" companion (eight corner points a
// box; "NEG" surfaces cut holes, "SYS_n" surfaces mark ship subsystem n),
// twelve sample points spread over the model by farthest-point selection,
// the model's bounds and a size.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/slab.h"
#include "core/files.h"
#include "core/log.h"
#include "present/lwo/lwo.h"
#include "present/lwo/lwo_detail.h"
#include "render/scene/scene.h"
#include "world/pools.h"
#include "world/records.h"

using namespace lwodetail;

namespace {

// Far more corners than any model's boxes have; the corner grouping
// compares every pair.
constexpr uint32_t kMaxBoxPoints = 4096;
constexpr int kSamples = 12;

// The box companion's name: the first ".lwo" (any case) and what follows
// become "_BOX.lwo".
std::string BoxPath(const char *path) {
    std::string name = path;
    for (size_t i = 0; i + 4 <= name.size(); ++i)
        if (name[i] == '.' && (name[i + 1] | 0x20) == 'l' && (name[i + 2] | 0x20) == 'w' &&
            (name[i + 3] | 0x20) == 'o')
            return name.substr(0, i) + "_BOX.lwo";
    return name + "_BOX.lwo";
}

float Distance(const Vec3 &a, const Vec3 &b) {
    const Vec3 d = {a.x - b.x, a.y - b.y, a.z - b.z};
    return float(VecLength(d));
}

uint32_t BoxFlags(const std::string &surface) {
    if (surface.compare(0, 3, "NEG") == 0 || surface.compare(0, 3, "neg") == 0) return 0x4;
    if (surface.compare(0, 3, "SYS") != 0) return 0;
    // The number after "SYS_", read with the usual prefixes (0x, leading 0).
    const long n = surface.size() > 4 && surface[3] == '_' ? std::strtol(surface.c_str() + 4, nullptr, 0) : 0;
    return 0x10 | (uint32_t(n) << 8 & ~0xFFu);
}

}  // namespace

bool LwoReadBoxPoints(const char *path, std::vector<LwoBoxPoint> *points, std::vector<std::string> *surfaces) {
    points->clear();
    surfaces->assign(1, std::string());
    std::string name = path;
    uint32_t available = 0;
    FILE *f = OpenShape(name, &available);
    if (!f) return false;
    const Image image = ReadImage(f, available);
    slabClose(f);
    // A box file that cannot be read leaves the model without boxes: the
    // log names it.
    if (!image.block) {
        RefuseGameFile(name.c_str(), "it is shorter than its header says");
        return false;
    }
    const ByteView form = image.form;
    ByteView pnts, pols, srfs;
    if (!LwoChunksFit(form)) {
        RefuseGameFile(name.c_str(), "a chunk runs past the end of the file");
        return false;
    }
    if (!LwoFindChunk(form, "PNTS", &pnts)) {
        RefuseGameFile(name.c_str(), "it has no points");
        return false;
    }
    const uint32_t count = uint32_t(pnts.size / 12);
    if (count > kMaxBoxPoints) {
        RefuseGameFile(name.c_str(), "more corners than any model's boxes have");
        return false;
    }
    points->resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        float v[3];
        for (int k = 0; k < 3; ++k) LwoReadF32BE(pnts, size_t(i) * 12 + size_t(k) * 4, &v[k]);
        (*points)[i] = {{100 * v[0], -100 * v[1], 100 * v[2]}, 0, 0};
    }
    if (LwoFindChunk(form, "SRFS", &srfs)) {
        size_t at = 0;
        while (at < srfs.size) {
            const void *nul = std::memchr(srfs.data + at, 0, srfs.size - at);
            const size_t end = nul ? size_t(static_cast<const uint8_t *>(nul) - srfs.data) : srfs.size;
            surfaces->emplace_back(reinterpret_cast<const char *>(srfs.data + at), end - at);
            at = end + 1;
            while (at < srfs.size && srfs.data[at] == 0) ++at;
        }
    }
    // The first three points of each polygon take its surface; a point or
    // surface the object does not have is passed over.
    if (LwoFindChunk(form, "POLS", &pols))
        WalkPolygons(pols, [&](uint16_t n, ByteView corners, int16_t surface) {
            for (int c = 0; c < n && c < 3; ++c) {
                uint16_t p = 0;
                ReadU16Be(corners, 2 * size_t(c), &p);
                if (p < count && surface > 0 && size_t(surface) < surfaces->size())
                    (*points)[p].surface = uint16_t(surface);
            }
            return true;
        });
    return true;
}

int LwoGroupBoxCorners(std::vector<LwoBoxPoint> &points) {
    // Groups are sets of corners under union and find, so that moving a
    // whole group to another costs nothing; a group number moved away takes
    // a fresh empty set, which the later corners of the same pass join.
    const int n = int(points.size());
    std::vector<int> parent, number, setOf(size_t(n), -1), current(size_t(n) + 2, -1);
    auto newSet = [&](int g) {
        parent.push_back(int(parent.size()));
        number.push_back(g);
        current[size_t(g)] = int(parent.size()) - 1;
        return current[size_t(g)];
    };
    auto find = [&](int s) {
        while (parent[size_t(s)] != s) s = parent[size_t(s)] = parent[size_t(parent[size_t(s)])];
        return s;
    };
    auto group = [&](int p) { return setOf[size_t(p)] < 0 ? 0 : number[size_t(find(setOf[size_t(p)]))]; };
    int next = 1;
    for (int i = 0; i < n; ++i) {
        if (group(i) == 0) setOf[size_t(i)] = newSet(next++);
        const int g = group(i);
        const Vec3 &a = points[size_t(i)].position;
        for (int j = 0; j < n; ++j) {
            const Vec3 &b = points[size_t(j)].position;
            if ((a.x == b.x) + (a.y == b.y) + (a.z == b.z) < 2) continue;
            const int h = group(j);
            if (h == 0) {
                setOf[size_t(j)] = current[size_t(g)];
            } else if (h != g) {
                parent[size_t(find(current[size_t(g)]))] = find(setOf[size_t(j)]);
                newSet(g);
            }
        }
    }
    for (int p = 0; p < n; ++p) points[size_t(p)].group = int16_t(group(p));
    return next;
}

CollisionModel *LwoLoadHitBoxes(const char *boxPath) {
    std::vector<LwoBoxPoint> points;
    std::vector<std::string> surfaces;
    if (!LwoReadBoxPoints(boxPath, &points, &surfaces) || points.empty()) return nullptr;
    const int groups = LwoGroupBoxCorners(points);
    HitBox *first = nullptr, **tail = &first;
    for (int g = 1; g < groups; ++g) {
        Vec3 high = {-2e35f, -2e35f, -2e35f}, low = {2e35f, 2e35f, 2e35f};
        int corners = 0;
        uint16_t surface = 0;
        for (const LwoBoxPoint &p : points) {
            if (p.group != g) continue;
            ++corners;
            surface = p.surface;
            const Vec3 &q = p.position;
            if (q.x > high.x) high.x = q.x;
            if (q.y > high.y) high.y = q.y;
            if (q.z > high.z) high.z = q.z;
            if (q.x < low.x) low.x = q.x;
            if (q.y < low.y) low.y = q.y;
            if (q.z < low.z) low.z = q.z;
        }
        if (corners == 0) continue;
        if (corners != 8) {
            dunDebugPrint("Unexpected corner count - do some boxes share vertices?");
            dunDebugPrint(LwoCurrentObjectName);
        }
        auto *box = static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
        if (!box) break;
        box->upper = high;
        box->lower = low;
        if (surface) box->flags = BoxFlags(surfaces[surface]);
        *tail = box;
        tail = &box->next;
    }
    CollisionModel *record = dunAllocCollisionModel();
    if (record) record->boxes = first;
    else dunFreeCollisionBoxes(first);
    return record;
}

void LwoFitCollisionPoints(const vt_model *model, CollisionModel *record) {
    if (!model || !record) return;
    record->points[0] = {0, 0, 0};
    record->pointCount = kSamples;
    for (uint32_t &mask : record->pointMasks) mask = 0;
    const int n = model->nvertices;
    auto vertex = [&](int i) {
        const vt_vector3 &p = model->vertices[i].p;
        return Vec3{p.v[0], p.v[1], p.v[2]};
    };
    for (int k = 1; k < kSamples; ++k) {
        int best = 0;
        float bestDistance = 0;
        for (int i = 0; i < n; ++i) {
            const Vec3 v = vertex(i);
            float nearest = Distance(v, record->points[0]);
            for (int s = 1; s < k; ++s) nearest = std::fmin(nearest, Distance(v, record->points[s]));
            if (nearest > bestDistance) {
                bestDistance = nearest;
                best = i;
            }
        }
        record->points[k] = n > 0 ? vertex(best) : Vec3{0, 0, 0};
    }
    const vt_bounds3 &b = model->bounds;
    if (!record->boxes) {
        auto *box = static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
        if (box) {
            box->upper = {b.max.v[0], b.max.v[1], b.max.v[2]};
            box->lower = {b.min.v[0], b.min.v[1], b.min.v[2]};
            box->flags = 0x8;
            record->boxes = box;
        }
    }
    record->boundsLower = {b.min.v[0], b.min.v[1], b.min.v[2]};
    record->boundsUpper = {b.max.v[0], b.max.v[1], b.max.v[2]};
    for (const HitBox *box = record->boxes; box; box = box->next) {
        if (!(box->flags & 0x10)) continue;
        const Vec3 centre = {(box->lower.x + box->upper.x) / 2, (box->lower.y + box->upper.y) / 2,
                             (box->lower.z + box->upper.z) / 2};
        int nearest = 0;
        for (int s = 1; s < kSamples; ++s)
            if (Distance(centre, record->points[s]) < Distance(centre, record->points[nearest])) nearest = s;
        record->pointMasks[nearest] |= box->flags & 0x1FF00u;
    }
    if (record->size == 0) {
        const float low = float(VecLength(record->boundsLower)), high = float(VecLength(record->boundsUpper));
        record->size = low > high ? low : high;
    }
}

CollisionModel *LwoAttachHitBoxes(const char *path, vt_model *model) {
    if (CollisionModel *known = dunFindCollisionModel(model)) return known;
    CollisionModel *record = LwoLoadHitBoxes(BoxPath(path).c_str());
    if (!record) record = dunAllocCollisionModel();
    if (!record) return nullptr;
    LwoFitCollisionPoints(model, record);
    record->id = model;
    return record;
}
