// Models from the line-oriented text export of a modelling package: named
// triangle meshes with their vertex lists (positions and texture
// coordinates) and face lists (corners, hidden edges, smoothing groups and
// material names). Lines that do not parse, or come out of order, are
// passed over.
#include <cstdlib>
#include <cstring>

#include "render/file/file.h"
#include "render/fmt/fmt.h"
#include "render/scenefile/sfprivate.h"
#include "render/std/stdlib.h"

namespace {

enum line_kind {
    LINE_IGNORED,
    LINE_NAME,
    LINE_MESH,
    LINE_VERTEX,
    LINE_FACE,
    LINE_SMOOTHING,
    LINE_MATERIAL,
};

// Tested in this order as prefixes of a line: the list headings come before
// the vertex and face lines they would otherwise be taken for.
const struct {
    const char *keyword;
    line_kind kind;
} kKeywords[] = {
    {"Ambient light color:", LINE_IGNORED},
    {"Named object: ", LINE_NAME},
    {"Tri-mesh,", LINE_MESH},
    {"Vertex list:", LINE_IGNORED},
    {"Vertex", LINE_VERTEX},
    {"Face list:", LINE_IGNORED},
    {"Face", LINE_FACE},
    {"Smoothing:", LINE_SMOOTHING},
    {"Material:", LINE_MATERIAL},
    {"Direct light", LINE_IGNORED},
    {"Position:", LINE_IGNORED},
    {"Light color:", LINE_IGNORED},
    {"Camera ", LINE_IGNORED},
    {"Target ", LINE_IGNORED},
    {"Bank angle: ", LINE_IGNORED},
};

struct reader {
    char name[65] = "";        // "%64[^\"]" keeps up to 64 characters
    vt_model *model = nullptr; // the mesh being filled; null after one that did not parse
    int next_vertex = 0;
    int next_face = 0;
    vt_face *last_face = nullptr; // of the current mesh
    bool bad = false;
};

// The text after the keyword that the line starts with.
line_kind classify(const char *line, const char **rest) {
    for (const auto &k : kKeywords) {
        const size_t n = strlen(k.keyword);
        if (VtStrNCmp(line, k.keyword, n) == 0) {
            *rest = line + n;
            return k.kind;
        }
    }
    return LINE_IGNORED;
}

void startMesh(reader &r, const char *text, vt_model **models, vt_uint_32 &count) {
    int nvertices = 0, nfaces = 0;
    r.model = nullptr;
    r.last_face = nullptr;
    if (VtSScanf(text, " Vertices: %d Faces: %d", &nvertices, &nfaces) != 2 || nvertices < 0 ||
        nvertices > int(kSfMaxElements) || nfaces < 0 || nfaces > int(kSfMaxElements))
        return;
    r.model = VtModelAllocate(r.name[0] ? r.name : nullptr, nvertices, nfaces);
    if (r.model == nullptr)
        return;
    models[count++] = r.model;
    r.next_vertex = r.next_face = 0;
}

void vertexLine(reader &r, const char *text) {
    int n = -1;
    float x = 0, y = 0, z = 0, u = 0, v = 0;
    if (r.model == nullptr || VtSScanf(text, "%d: X: %f Y: %f Z: %f U: %f V: %f", &n, &x, &y, &z, &u, &v) < 1 ||
        n != r.next_vertex || n >= r.model->nvertices)
        return;
    vt_vertex &vx = r.model->vertices[n];
    VtVector3Set(&vx.p, x, y, z);
    VtVector2Set(&vx.map, u, v);
    r.next_vertex++;
}

void faceLine(reader &r, const char *text) {
    int n = -1, a, b, c, ab = 1, bc = 1, ca = 1;
    if (r.model == nullptr ||
        VtSScanf(text, "%d: A:%d B:%d C:%d AB:%d BC:%d CA:%d", &n, &a, &b, &c, &ab, &bc, &ca) < 4 || n != r.next_face ||
        n >= r.model->nfaces)
        return;
    const int corners[3] = {a, b, c};
    vt_face &f = r.model->faces[n];
    for (int k = 0; k < 3; k++) {
        if (corners[k] < 0 || corners[k] >= r.model->nvertices) {
            VtFailure("Model %s: face %d names vertex %d of %d", r.model->identifier ? r.model->identifier : "<NULL>",
                      n, corners[k], r.model->nvertices);
            r.bad = true;
            return;
        }
        f.vertices[k] = vt_uint_16(corners[k]);
    }
    f.material = nullptr;
    f.flags = vt_uint_8((ab == 0 ? VT_FACEF_HIDE_EDGE_0 : 0) | (bc == 0 ? VT_FACEF_HIDE_EDGE_1 : 0) |
                        (ca == 0 ? VT_FACEF_HIDE_EDGE_2 : 0));
    r.last_face = &f;
    r.next_face++;
}

// Group numbers separated by commas and blanks; group n is bit (n - 1)
// mod 16, and numbers below 1 name no group.
void smoothingLine(reader &r, const char *text) {
    if (r.last_face == nullptr)
        return;
    r.last_face->smoothing = 0;
    for (const char *p = text; *p;) {
        char *end;
        const long n = VtStrToL(p, &end, 10);
        if (end == p) {
            p++;
            continue;
        }
        p = end;
        if (n >= 1)
            r.last_face->smoothing |= vt_uint_16(1u << ((n - 1) % 16));
    }
}

void materialLine(reader &r, const char *text) {
    char name[65];
    if (r.last_face && VtSScanf(text, " \"%64[^\"]", name) == 1)
        r.last_face->material = VtMaterialFind(name);
}

} // namespace

vt_uint_32 VtAsciiMeshLoad(const char *filename, vt_model **models, vt_uint_16 num) {
    int mode = VT_FILE_TEXT;
    vt_file *f = VtFileOpenRead(filename, 0, nullptr, &mode);
    if (f == nullptr) {
        VtFailure("Could not open '%s' for reading", filename);
        return 0;
    }
    reader r;
    vt_uint_32 count = 0;
    char line[513];
    bool full = false;
    while (!full && !r.bad && !VtFileEof(f)) {
        if (VtFileGetLine(line, sizeof line, f) == 0)
            continue;
        const char *text = nullptr;
        switch (classify(line, &text)) {
        case LINE_NAME:
            r.name[0] = '\0';
            VtSScanf(text, "\"%64[^\"]", r.name);
            break;
        case LINE_MESH:
            // The rest of the file stays unread.
            if (count >= num)
                full = true;
            else
                startMesh(r, text, models, count);
            break;
        case LINE_VERTEX:
            vertexLine(r, text);
            break;
        case LINE_FACE:
            faceLine(r, text);
            break;
        case LINE_SMOOTHING:
            smoothingLine(r, text);
            break;
        case LINE_MATERIAL:
            materialLine(r, text);
            break;
        case LINE_IGNORED:
            break;
        }
    }
    VtFileClose(f);
    // Faces the file never gave stay at vertex 0, which an empty mesh lacks.
    for (vt_uint_32 i = 0; i < count && !r.bad; i++)
        r.bad = !SfModelFacesValid(models[i]);
    if (r.bad) {
        for (vt_uint_32 i = 0; i < count; i++)
            VtModelFree(models[i]);
        return 0;
    }
    return count;
}
