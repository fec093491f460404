// Writer of LightWave object files (form "LWOB"): the sample shapes of the
// data tree and the test fixtures are made with it. Numbers are big-endian,
// floats IEEE single; every chunk comes out with an even size, names are
// padded to even lengths and sub-chunks of odd length get their pad byte, so
// the files read back the same with or without pad handling.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace lwob {

struct Point {
    float x, y, z;
};

// A polygon's points in LightWave's order: clockwise seen from the visible
// side, so that (p1 - p0) x (p2 - p0) points out of the surface.
struct Polygon {
    std::vector<uint16_t> points;
    int16_t surface;  // 1-based into the surface list
};

// A surface and the sub-chunks of its SURF chunk; a negative number (or an
// empty text) leaves that sub-chunk out.
struct Surface {
    std::string name;
    uint8_t colour[3] = {180, 180, 180};
    bool writeColour = true;
    int flags = -1;  // FLAG: 0x4 smooth, 0x100 two-sided
    int glossiness = -1;  // GLOS
    int luminosity = -1;  // LUMI
    int transparency = -1;  // TRAN
    int textureFlags = -1;  // TFLG: 1 X, 2 Y, 4 Z
    float smoothingAngle = -1;  // SMAN, radians
    bool writeTextureBox = false;
    Point textureSize = {1, 1, 1};  // TSIZ
    Point textureCentre = {0, 0, 0};  // TCTR
    float wrapWidth = -1;  // TFP0
    float wrapHeight = -1;  // TFP1
    std::string image;  // TIMG
    std::string mapping;  // CTEX: "Planar Image Map", "Cylindrical Image Map", "Spherical Image Map"
};

struct Object {
    std::vector<Point> points;
    std::vector<Polygon> polygons;
    std::vector<Surface> surfaces;
    bool writeSurfaceChunks = true;  // SURF chunks after SRFS

    // The new point's index.
    uint16_t AddPoint(float x, float y, float z);
    // The new surface's 1-based number.
    int16_t AddSurface(const Surface &surface);
    void AddPolygon(std::initializer_list<uint16_t> points, int16_t surface);
    // Every point moved by (dx, dy, dz).
    void Move(float dx, float dy, float dz);
    // Another object's points, polygons and surfaces (by name: a surface of
    // the same name is shared).
    void Append(const Object &other);
};

// The whole file.
std::vector<uint8_t> Encode(const Object &object);
bool Save(const std::string &path, const Object &object);

// Pieces for hand-made (and broken) files.
void PutU16(std::vector<uint8_t> &out, uint32_t v);
void PutU32(std::vector<uint8_t> &out, uint32_t v);
void PutF32(std::vector<uint8_t> &out, float v);
// A chunk: id, U4 size, the data as it stands (no pad).
std::vector<uint8_t> Chunk(const char id[4], const std::vector<uint8_t> &data);
// "FORM", the size of what follows, "LWOB", then the chunks.
std::vector<uint8_t> Form(std::initializer_list<std::vector<uint8_t>> chunks);
std::vector<uint8_t> PointsChunk(const std::vector<Point> &points);
std::vector<uint8_t> PolygonsChunk(const std::vector<Polygon> &polygons);
std::vector<uint8_t> SurfaceNamesChunk(const std::vector<Surface> &surfaces);
std::vector<uint8_t> SurfaceChunk(const Surface &surface);

// ---- Shapes (file units; y up, z ahead) ----------------------------------

// An axis-aligned box between two corners, six quads facing out.
Object Box(Point low, Point high, const Surface &surface);
// The same box as twelve triangles (hit-box companions want triangles).
Object BoxTriangles(Point low, Point high, const Surface &surface);
// A closed ring of `sides` quads round the z axis from z0 (radius r0) to z1
// (radius r1), capped at both ends; a radius of 0 makes a point.
Object Tube(int sides, float z0, float r0, float z1, float r1, const Surface &surface, bool caps = true);
// A hull lofted through cross-sections along z: each an ellipse about
// (cx, cy) with half-widths rx and ry (both 0: a point), squared off
// towards a rectangle as `square` grows from 0 (0..1). Ring i of every
// section shares its angle, so the quads between two sections run straight
// along the hull; the first and last sections are capped (with quads) unless
// they are points. Each face turns away from the line through the sections' centres.
struct Section {
    float z, cx, cy, rx, ry;
};
Object Loft(int sides, const std::vector<Section> &sections, float square, const Surface &surface, bool caps = true);
// A sphere of `rings` x `segments` about the origin.
Object Sphere(int rings, int segments, float radius, const Surface &surface);
// An icosahedron about the origin with each triangle split in four
// `subdivisions` times, every point on the sphere of the radius (12, 42,
// 162, ... points).
Object Icosphere(int subdivisions, float radius, const Surface &surface);
// A flat quad in the z = 0 plane facing -z (towards a viewer in front).
Object Plate(float width, float height, const Surface &surface);

}  // namespace lwob
