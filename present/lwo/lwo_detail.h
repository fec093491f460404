// Steps the LWOB readers of this folder share: opening a shape by its detail
// level's slab, the file image, the polygon walk, the surface names and the
// loader's reports.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "present/lwo/lwo.h"

// Calls visit with each chunk's id and data in file order until it answers
// false; false when a chunk runs past the end of the form.
bool LwoWalkChunks(ByteView form, const std::function<bool(ByteView id, ByteView data)> &visit);

namespace lwodetail {

struct FreeBlock {
    void operator()(uint8_t *p) const { std::free(p); }
};

struct Image {
    std::unique_ptr<uint8_t, FreeBlock> block;
    ByteView form;  // form type first
};

// A file that does not hold together: a "debug.txt" line and the loader's
// box; false.
bool Refuse(const char *path, const char *why);
void ClearSlotNames();
void SetCurrentObjectName(const char *path);
// Replaces the first six-character folder word `from` in path by `to`.
bool ReplaceFolderWord(std::string &path, const char *from, const char *to);
// Opens the object in the slab of the detail level ("Sh_3DX" with hidef,
// then "Sh_3DH", in 3D-card mode; else "shapes"), leaving the folder word
// of the slab it came from in path. `size` receives the stream's length.
FILE *OpenShape(std::string &path, uint32_t *size);
// The "unable to find" box.
void ReportMissing(const char *path);
Image ReadImage(FILE *f, uint32_t available);
// Calls visit with each polygon's vertex count, its point indices (U2 each)
// and its surface number; false when a polygon runs past the chunk or visit
// says stop.
bool WalkPolygons(ByteView pols, const std::function<bool(uint16_t n, ByteView points, int16_t surface)> &visit);
// The SRFS names into slots 1..n; n, or -1 for an unterminated name, -2 for
// more than 255.
int ReadSurfaceNames(ByteView srfs);
// Each named slot's sub-chunk range from the SURF chunk of its name.
void MatchSurfaces(ByteView form, int surfaces);

}  // namespace lwodetail
