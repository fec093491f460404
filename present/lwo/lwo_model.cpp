// Loading a LightWave object as a library model: the slab of the detail
// level, the triangles of the 3- and 4-sided polygons, map coordinates,
// surface materials, smoothing, welding and the model itself. Every count,
// index and length is checked against the file before it is used: a file
// that does not hold together is refused with the loader's box, never read
// past its end.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RES/slab.h"
#include "RES/util.h"
#include "core/files.h"
#include "core/log.h"
#include "platform/display.h"
#include "core/options.h"
#include "present/lwo/lwo.h"
#include "present/lwo/lwo_detail.h"
#include "render/scene/scene.h"
#include "render/std/stdlib.h"

namespace lwodetail {

bool Refuse(const char *path, const char *why) {
    std::snprintf(LwoErrorText, sizeof LwoErrorText, "%s cannot be used: %s", path, why);
    RefuseGameFile(path, why);
    dunErrorBox(LwoErrorText, "LWOB Loader Error");
    return false;
}

void ClearSlotNames() {
    for (LwoSurfaceSlot &slot : LwoSurfaceSlots) slot.name = nullptr;
}

void SetCurrentObjectName(const char *path) {
    std::snprintf(LwoCurrentObjectName, sizeof LwoCurrentObjectName, "%s", path);
}

bool ReplaceFolderWord(std::string &path, const char *from, const char *to) {
    const size_t at = path.find(from);
    if (at == std::string::npos) return false;
    path.replace(at, 6, to);
    return true;
}

FILE *OpenShape(std::string &path, uint32_t *size) {
    FILE *f = nullptr;
    if (CardTextureFlag) {
        if (optHiDef && ReplaceFolderWord(path, "shapes", "Sh_3DX")) {
            f = slabOpen("Sh_3DX", path.c_str(), size);
            if (!f) ReplaceFolderWord(path, "Sh_3DX", "shapes");
        }
        if (!f && ReplaceFolderWord(path, "shapes", "Sh_3DH")) {
            f = slabOpen("Sh_3DH", path.c_str(), size);
            if (!f) ReplaceFolderWord(path, "Sh_3DH", "shapes");
        }
    }
    if (!f) f = slabOpen("shapes", path.c_str(), size);
    return f;
}

void ReportMissing(const char *path) {
    std::snprintf(LwoErrorText, sizeof LwoErrorText, "Epic disaster! I am <sniffle> unable to find %s ", path);
    dunErrorBox(LwoErrorText, "LWOB Loader Error");
}

Image ReadImage(FILE *f, uint32_t available) {
    Image image;
    uint32_t size = 0;
    image.block.reset(LwoReadFile(f, available, &size));
    if (image.block) image.form = BytesOf(image.block.get(), size);
    return image;
}

bool WalkPolygons(ByteView pols, const std::function<bool(uint16_t n, ByteView points, int16_t surface)> &visit) {
    const size_t words = pols.size / 2;
    size_t w = 0;
    while (w < words) {
        uint16_t n = 0;
        ReadU16Be(pols, 2 * w, &n);
        if (w + 2 + n > words) return false;
        uint16_t surface = 0;
        ReadU16Be(pols, 2 * (w + 1 + n), &surface);
        ByteView points;
        BytesSub(pols, 2 * (w + 1), 2 * size_t(n), &points);
        if (!visit(n, points, int16_t(surface))) return false;
        w += 2 + n;
    }
    return true;
}

int ReadSurfaceNames(ByteView srfs) {
    int n = 0;
    size_t at = 0;
    while (at < srfs.size) {
        const void *nul = std::memchr(srfs.data + at, 0, srfs.size - at);
        if (!nul) return -1;
        if (++n >= kLwoSlotCount) return -2;
        LwoSurfaceSlots[n].name = reinterpret_cast<const char *>(srfs.data + at);
        at = size_t(static_cast<const uint8_t *>(nul) - srfs.data) + 1;
        while (at < srfs.size && srfs.data[at] == 0) ++at;
    }
    return n;
}

void MatchSurfaces(ByteView form, int surfaces) {
    for (int s = 1; s <= surfaces; ++s) {
        LwoSurfaceSlots[s].subChunks = ByteView{};
        LwoSurfaceSlots[s].smoothingAngle = kLwoDefaultSmoothingAngle;
    }
    LwoWalkChunks(form, [surfaces](ByteView id, ByteView chunk) {
        const void *nul = BytesMatch(id, 0, "SURF", 4) ? std::memchr(chunk.data, 0, chunk.size) : nullptr;
        if (!nul) return true;
        const size_t nameBytes = size_t(static_cast<const uint8_t *>(nul) - chunk.data) + 1;
        const ByteView subChunks = BytesFrom(chunk, nameBytes + (nameBytes & 1));
        const char *name = reinterpret_cast<const char *>(chunk.data);
        for (int s = 1; s <= surfaces; ++s)
            if (LwoSurfaceSlots[s].name && std::strncmp(LwoSurfaceSlots[s].name, name, 256) == 0)
                LwoSurfaceSlots[s].subChunks = subChunks;
        return true;
    });
}

}  // namespace lwodetail

using namespace lwodetail;

namespace {

constexpr int kLimit = 32767;

// The model registered under exactly this name (the registry's finds take
// patterns, and a path is not one).
vt_model *FindModelNamed(const char *name) {
    struct Search {
        const char *name;
        vt_model *found;
    } search{name, nullptr};
    VtModelEnum(
        "*",
        [](vt_model *m, void *arg) -> int {
            auto *s = static_cast<Search *>(arg);
            if (m->identifier && VtStrICmp(m->identifier, s->name) == 0) {
                s->found = m;
                return 1;
            }
            return 0;
        },
        &search);
    return search.found;
}

// The faces of the 3- and 4-sided polygons, corners reversed; a quad's two
// triangles share their third edge.
bool ReadPolygons(const char *path, ByteView pols, int surfaces, uint32_t points, std::vector<LwoFace> &faces) {
    size_t triangles = 0;
    const char *why = nullptr;
    const bool whole = WalkPolygons(pols, [&](uint16_t n, ByteView, int16_t) {
        triangles += n == 3 ? 1 : n == 4 ? 2 : 0;
        return true;
    });
    if (!whole) return Refuse(path, "a polygon runs past the end of its chunk");
    if (triangles > kLimit) return Refuse(path, "more than 32767 triangles");
    faces.assign(triangles, LwoFace{});
    size_t next = 0;
    WalkPolygons(pols, [&](uint16_t n, ByteView pts, int16_t surface) {
        if (n != 3 && n != 4) return true;
        uint16_t p[4] = {};
        for (int i = 0; i < n; ++i) {
            ReadU16Be(pts, 2 * size_t(i), &p[i]);
            if (p[i] >= points) why = "a polygon names a point the object does not have";
        }
        if (surface < 1 || surface > surfaces) why = "a polygon names a surface the object does not have";
        if (why) return false;
        auto make = [&](uint16_t a, uint16_t b, uint16_t c, uint8_t flags) {
            LwoFace &f = faces[next++];
            f.corners[0] = a;
            f.corners[1] = b;
            f.corners[2] = c;
            f.surface = surface;
            f.edgeFlags = flags;
        };
        if (n == 3) {
            make(p[2], p[1], p[0], 0);
        } else {
            make(p[2], p[1], p[0], 4);
            make(p[0], p[3], p[2], 4);
        }
        return true;
    });
    return why ? Refuse(path, why) : true;
}

// Every point's position and a random (v, u) pair, two draws per point in
// file order, to the corners that use it.
void SetCorners(ByteView pnts, uint32_t points, std::vector<LwoFace> &faces) {
    std::vector<float> values(size_t(points) * 5);
    for (uint32_t i = 0; i < points; ++i) {
        float *v = &values[size_t(i) * 5];
        for (int k = 0; k < 3; ++k) LwoReadF32BE(pnts, size_t(i) * 12 + size_t(k) * 4, &v[k]);
        v[3] = float(dunRand15() % 100) * 0.01f;
        v[4] = float(dunRand15() % 100) * 0.01f;
    }
    for (LwoFace &f : faces)
        for (int c = 0; c < 3; ++c) {
            const float *v = &values[size_t(f.corners[c]) * 5];
            std::memcpy(f.position[c], v, 3 * sizeof(float));
            f.map[c][0] = v[3];
            f.map[c][1] = v[4];
        }
}

vt_model *BuildModel(const std::string &path, std::vector<LwoFace> &faces, int vertices) {
    vt_model *model = VtModelAllocate(path.c_str(), vertices, int(faces.size()));
    if (!model) return nullptr;
    if (LwoLooseRecords()) LwoNoteLooseModel(model);
    model->flags |= 0x86;
    std::vector<bool> done(size_t(vertices), false);
    for (size_t i = 0; i < faces.size(); ++i) {
        const LwoFace &f = faces[i];
        vt_face &out = model->faces[i];
        for (int c = 0; c < 3; ++c) {
            const uint16_t k = f.corners[c];
            out.vertices[c] = k;
            if (done[k]) continue;
            done[k] = true;
            vt_vertex &v = model->vertices[k];
            VtVector3Set(&v.p, 100 * f.position[c][0] / kModelScaleDivisor,
                         -100 * f.position[c][1] / kModelScaleDivisor, 100 * f.position[c][2] / kModelScaleDivisor);
            VtVector2Set(&v.map, f.map[c][1], f.map[c][0]);
        }
        out.material = LwoSurfaceSlots[f.surface].material;
        out.flags = uint8_t((out.flags & ~7u) | (f.edgeFlags & 7u));
        out.smoothing = f.group >= 1 && f.group <= 15 ? uint16_t(1u << (f.group - 1)) : 0;
    }
    VtModelAdd(model);
    VtModelUpdate(model, VT_MODU_ALL);
    return model;
}

}  // namespace

void *LwoLoadModel(const char *callerPath, void *, uint32_t *status) {
    if (!callerPath) return nullptr;
    if (vt_model *known = FindModelNamed(callerPath)) {
        // Its collision record may have gone with a mission's end.
        LwoAttachHitBoxes(callerPath, known);
        return known;
    }
    ClearSlotNames();
    // The folder word is changed on a copy: the caller's text stays as it was.
    std::string path = callerPath;
    uint32_t available = 0;
    FILE *f = OpenShape(path, &available);
    if (!f) {
        ReportMissing(path.c_str());
        if (status) *status = 0;
        return nullptr;
    }
    SetCurrentObjectName(path.c_str());
    const Image image = ReadImage(f, available);
    slabClose(f);
    if (!image.block) {
        RefuseGameFile(path.c_str(), "it is shorter than its header says");
        return nullptr;
    }
    const ByteView form = image.form;
    vt_model *model = nullptr;
    [&] {
        if (!LwoChunksFit(form)) return (void)Refuse(path.c_str(), "a chunk runs past the end of the file");
        ByteView pols, pnts{}, srfs{};
        if (!LwoFindChunk(form, "POLS", &pols)) return RefuseGameFile(path.c_str(), "it has no polygons");
        LwoFindChunk(form, "PNTS", &pnts);
        LwoFindChunk(form, "SRFS", &srfs);
        const uint32_t points = uint32_t(pnts.size / 12);
        if (points > kLimit) return (void)Refuse(path.c_str(), "more than 32767 points");
        const int surfaces = ReadSurfaceNames(srfs);
        if (surfaces == -1) return (void)Refuse(path.c_str(), "a surface name is not terminated");
        if (surfaces < 0) return (void)Refuse(path.c_str(), "more than 255 surfaces");
        std::vector<LwoFace> faces;
        if (!ReadPolygons(path.c_str(), pols, surfaces, points, faces)) return;
        // Lines and points alone make no shape the library can prepare.
        if (faces.empty()) return (void)Refuse(path.c_str(), "no polygon of three or four corners");
        SetCorners(pnts, points, faces);
        MatchSurfaces(form, surfaces);
        const int count = int(faces.size());
        for (int s = 1; s <= surfaces; ++s) {
            LwoSurfaceSlots[s].material = nullptr;
            LwoMakeMaterial(s, faces.data(), count);
        }
        LwoFaceNormals(faces.data(), count);
        if (!LwoLoadSmoothing(faces.data(), count, path.c_str())) {
            LwoFindNeighbours(faces.data(), count);
            LwoAssignSmoothingGroups(faces.data(), count);
            LwoSaveSmoothing(faces.data(), count, path.c_str());
        }
        const int vertices = LwoWeldVertices(faces.data(), count);
        if (vertices > kLimit) return (void)Refuse(path.c_str(), "more than 32767 vertices");
        model = BuildModel(path, faces, vertices);
    }();
    // Slot names point into the image, which goes now.
    ClearSlotNames();
    if (model) LwoAttachHitBoxes(path.c_str(), model);
    return model;
}
