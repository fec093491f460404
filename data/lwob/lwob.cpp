#include "data/lwob/lwob.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace lwob {

namespace {

constexpr float kPi = 3.14159265358979f;

void PutId(std::vector<uint8_t> &out, const char id[4]) { out.insert(out.end(), id, id + 4); }

// A NUL-terminated name padded with one more NUL to an even length.
void PutName(std::vector<uint8_t> &out, const std::string &name) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    if ((name.size() + 1) % 2) out.push_back(0);
}

void SubChunk(std::vector<uint8_t> &out, const char id[4], const std::vector<uint8_t> &data) {
    PutId(out, id);
    PutU16(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2) out.push_back(0);
}

std::vector<uint8_t> U16Data(int v) {
    std::vector<uint8_t> d;
    PutU16(d, uint32_t(v));
    return d;
}

std::vector<uint8_t> F32Data(std::initializer_list<float> values) {
    std::vector<uint8_t> d;
    for (float v : values) PutF32(d, v);
    return d;
}

std::vector<uint8_t> TextData(const std::string &text) {
    std::vector<uint8_t> d(text.begin(), text.end());
    d.push_back(0);
    return d;
}

Point Sub(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point Cross(Point a, Point b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void Reverse(std::vector<uint16_t> &pts) {
    // Keeps the first point, reverses the rest.
    for (size_t i = 1, j = pts.size() - 1; i < j; ++i, --j) std::swap(pts[i], pts[j]);
}

void AddOutward(Object &o, std::vector<uint16_t> pts, int16_t surface, Point inside) {
    const Point a = o.points[pts[0]], b = o.points[pts[1]], c = o.points[pts[2]];
    Point centre = {0, 0, 0};
    for (uint16_t i : pts) {
        centre.x += o.points[i].x;
        centre.y += o.points[i].y;
        centre.z += o.points[i].z;
    }
    const float n = float(pts.size());
    centre = {centre.x / n, centre.y / n, centre.z / n};
    if (Dot(Cross(Sub(b, a), Sub(c, a)), Sub(centre, inside)) < 0) Reverse(pts);
    o.polygons.push_back({std::move(pts), surface});
}

}  // namespace

void PutU16(std::vector<uint8_t> &out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutU32(std::vector<uint8_t> &out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

void PutF32(std::vector<uint8_t> &out, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    PutU32(out, u);
}

std::vector<uint8_t> Chunk(const char id[4], const std::vector<uint8_t> &data) {
    std::vector<uint8_t> out;
    PutId(out, id);
    PutU32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> Form(std::initializer_list<std::vector<uint8_t>> chunks) {
    std::vector<uint8_t> body;
    PutId(body, "LWOB");
    for (const auto &c : chunks) body.insert(body.end(), c.begin(), c.end());
    std::vector<uint8_t> out;
    PutId(out, "FORM");
    PutU32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<uint8_t> PointsChunk(const std::vector<Point> &points) {
    std::vector<uint8_t> d;
    for (const Point &p : points) {
        PutF32(d, p.x);
        PutF32(d, p.y);
        PutF32(d, p.z);
    }
    return Chunk("PNTS", d);
}

std::vector<uint8_t> PolygonsChunk(const std::vector<Polygon> &polygons) {
    std::vector<uint8_t> d;
    for (const Polygon &p : polygons) {
        PutU16(d, uint32_t(p.points.size()));
        for (uint16_t i : p.points) PutU16(d, i);
        PutU16(d, uint16_t(p.surface));
    }
    return Chunk("POLS", d);
}

std::vector<uint8_t> SurfaceNamesChunk(const std::vector<Surface> &surfaces) {
    std::vector<uint8_t> d;
    for (const Surface &s : surfaces) PutName(d, s.name);
    return Chunk("SRFS", d);
}

std::vector<uint8_t> SurfaceChunk(const Surface &s) {
    std::vector<uint8_t> d;
    PutName(d, s.name);
    if (s.writeColour) SubChunk(d, "COLR", {s.colour[0], s.colour[1], s.colour[2], 0});
    if (s.flags >= 0) SubChunk(d, "FLAG", U16Data(s.flags));
    if (s.glossiness >= 0) SubChunk(d, "GLOS", U16Data(s.glossiness));
    if (s.luminosity >= 0) SubChunk(d, "LUMI", U16Data(s.luminosity));
    if (s.transparency >= 0) SubChunk(d, "TRAN", U16Data(s.transparency));
    if (s.smoothingAngle >= 0) SubChunk(d, "SMAN", F32Data({s.smoothingAngle}));
    if (!s.image.empty()) SubChunk(d, "TIMG", TextData(s.image));
    if (!s.mapping.empty()) SubChunk(d, "CTEX", TextData(s.mapping));
    if (s.textureFlags >= 0) SubChunk(d, "TFLG", U16Data(s.textureFlags));
    if (s.writeTextureBox) {
        SubChunk(d, "TSIZ", F32Data({s.textureSize.x, s.textureSize.y, s.textureSize.z}));
        SubChunk(d, "TCTR", F32Data({s.textureCentre.x, s.textureCentre.y, s.textureCentre.z}));
    }
    if (s.wrapWidth >= 0) SubChunk(d, "TFP0", F32Data({s.wrapWidth}));
    if (s.wrapHeight >= 0) SubChunk(d, "TFP1", F32Data({s.wrapHeight}));
    return Chunk("SURF", d);
}

std::vector<uint8_t> Encode(const Object &o) {
    std::vector<uint8_t> body;
    PutId(body, "LWOB");
    auto add = [&body](const std::vector<uint8_t> &c) { body.insert(body.end(), c.begin(), c.end()); };
    add(PointsChunk(o.points));
    add(SurfaceNamesChunk(o.surfaces));
    add(PolygonsChunk(o.polygons));
    if (o.writeSurfaceChunks)
        for (const Surface &s : o.surfaces) add(SurfaceChunk(s));
    std::vector<uint8_t> out;
    PutId(out, "FORM");
    PutU32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool Save(const std::string &path, const Object &object) {
    const std::vector<uint8_t> bytes = Encode(object);
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

uint16_t Object::AddPoint(float x, float y, float z) {
    points.push_back({x, y, z});
    return uint16_t(points.size() - 1);
}

int16_t Object::AddSurface(const Surface &surface) {
    surfaces.push_back(surface);
    return int16_t(surfaces.size());
}

void Object::AddPolygon(std::initializer_list<uint16_t> pts, int16_t surface) { polygons.push_back({pts, surface}); }

void Object::Move(float dx, float dy, float dz) {
    for (Point &p : points) p = {p.x + dx, p.y + dy, p.z + dz};
}

void Object::Append(const Object &other) {
    const uint16_t base = uint16_t(points.size());
    points.insert(points.end(), other.points.begin(), other.points.end());
    std::vector<int16_t> map(other.surfaces.size() + 1, 0);
    for (size_t i = 0; i < other.surfaces.size(); ++i) {
        int16_t found = 0;
        for (size_t j = 0; j < surfaces.size(); ++j)
            if (surfaces[j].name == other.surfaces[i].name) found = int16_t(j + 1);
        map[i + 1] = found ? found : AddSurface(other.surfaces[i]);
    }
    for (Polygon p : other.polygons) {
        for (uint16_t &i : p.points) i = uint16_t(i + base);
        p.surface = map[size_t(p.surface)];
        polygons.push_back(std::move(p));
    }
}

Object Box(Point lo, Point hi, const Surface &surface) {
    Object o;
    const int16_t s = o.AddSurface(surface);
    for (int i = 0; i < 8; ++i) o.AddPoint(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
    const Point inside = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    // Corner i has x from bit 0, y from bit 1, z from bit 2.
    static const uint16_t kFaces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                          {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    for (const auto &f : kFaces) AddOutward(o, {f[0], f[1], f[2], f[3]}, s, inside);
    return o;
}

Object BoxTriangles(Point lo, Point hi, const Surface &surface) {
    Object quads = Box(lo, hi, surface);
    Object o = quads;
    o.polygons.clear();
    for (const Polygon &p : quads.polygons) {
        o.polygons.push_back({{p.points[0], p.points[1], p.points[2]}, p.surface});
        o.polygons.push_back({{p.points[0], p.points[2], p.points[3]}, p.surface});
    }
    return o;
}

Object Tube(int sides, float z0, float r0, float z1, float r1, const Surface &surface, bool caps) {
    Object o;
    const int16_t s = o.AddSurface(surface);
    const Point inside = {0, 0, (z0 + z1) / 2};
    auto ring = [&](float z, float r) -> std::vector<uint16_t> {
        std::vector<uint16_t> idx;
        if (r == 0) {
            const uint16_t p = o.AddPoint(0, 0, z);
            idx.assign(size_t(sides), p);
            return idx;
        }
        for (int i = 0; i < sides; ++i) {
            const float a = 2 * kPi * float(i) / float(sides);
            idx.push_back(o.AddPoint(r * std::cos(a), r * std::sin(a), z));
        }
        return idx;
    };
    const std::vector<uint16_t> a = ring(z0, r0), b = ring(z1, r1);
    for (int i = 0; i < sides; ++i) {
        const int j = (i + 1) % sides;
        if (r0 == 0) AddOutward(o, {a[size_t(i)], b[size_t(i)], b[size_t(j)]}, s, inside);
        else if (r1 == 0) AddOutward(o, {a[size_t(i)], b[size_t(i)], a[size_t(j)]}, s, inside);
        else AddOutward(o, {a[size_t(i)], b[size_t(i)], b[size_t(j)], a[size_t(j)]}, s, inside);
    }
    if (caps) {
        // Fans of triangles from the first point of each ring.
        for (const auto *r : {&a, &b}) {
            if ((r == &a ? r0 : r1) == 0) continue;
            for (int i = 1; i + 1 < sides; ++i)
                AddOutward(o, {(*r)[0], (*r)[size_t(i)], (*r)[size_t(i + 1)]}, s, inside);
        }
    }
    return o;
}

Object Loft(int sides, const std::vector<Section> &sections, float square, const Surface &surface, bool caps) {
    Object o;
    if (sections.size() < 2) return o;
    const int16_t s = o.AddSurface(surface);
    // The superellipse's exponent: 2 is the ellipse, larger squarer.
    const float e = 2 / (2 + 6 * square);
    auto shaped = [e](float c) { return std::copysign(std::pow(std::fabs(c), e), c); };
    std::vector<std::vector<uint16_t>> rings;
    for (const Section &q : sections) {
        std::vector<uint16_t> ring;
        if (q.rx == 0 && q.ry == 0) {
            ring.assign(size_t(sides), o.AddPoint(q.cx, q.cy, q.z));
        } else {
            for (int i = 0; i < sides; ++i) {
                // Half a step round, so that a flat top and bottom face
                // straddle the vertical axis.
                const float a = 2 * kPi * (float(i) + 0.5f) / float(sides);
                ring.push_back(o.AddPoint(q.cx + q.rx * shaped(std::cos(a)), q.cy + q.ry * shaped(std::sin(a)), q.z));
            }
        }
        rings.push_back(std::move(ring));
    }
    for (size_t k = 0; k + 1 < sections.size(); ++k) {
        const Section &p = sections[k], &q = sections[k + 1];
        const Point inside = {(p.cx + q.cx) / 2, (p.cy + q.cy) / 2, (p.z + q.z) / 2};
        const std::vector<uint16_t> &a = rings[k], &b = rings[k + 1];
        const bool pointA = p.rx == 0 && p.ry == 0, pointB = q.rx == 0 && q.ry == 0;
        if (pointA && pointB) continue;
        for (int i = 0; i < sides; ++i) {
            const size_t u = size_t(i), v = size_t((i + 1) % sides);
            if (pointA) AddOutward(o, {a[u], b[u], b[v]}, s, inside);
            else if (pointB) AddOutward(o, {a[u], b[u], a[v]}, s, inside);
            else AddOutward(o, {a[u], b[u], b[v], a[v]}, s, inside);
        }
    }
    if (caps) {
        for (size_t k : {size_t(0), sections.size() - 1}) {
            const Section &q = sections[k];
            if (q.rx == 0 && q.ry == 0) continue;
            // The cap faces away from its neighbour section.
            const Section &n = sections[k == 0 ? 1 : k - 1];
            const Point inside = {q.cx, q.cy, q.z + (n.z > q.z ? 1.0f : -1.0f)};
            // The reader draws polygons of three and four corners only: a
            // fan of quads from the ring's first point, a triangle to end.
            const std::vector<uint16_t> &r = rings[k];
            int i = 1;
            for (; i + 2 < sides; i += 2)
                AddOutward(o, {r[0], r[size_t(i)], r[size_t(i + 1)], r[size_t(i + 2)]}, s, inside);
            if (i + 1 < sides) AddOutward(o, {r[0], r[size_t(i)], r[size_t(i + 1)]}, s, inside);
        }
    }
    return o;
}

Object Sphere(int rings, int segments, float radius, const Surface &surface) {
    Object o;
    const int16_t s = o.AddSurface(surface);
    const uint16_t top = o.AddPoint(0, radius, 0);
    std::vector<std::vector<uint16_t>> rows;
    for (int r = 1; r < rings; ++r) {
        const float th = kPi * float(r) / float(rings);
        std::vector<uint16_t> row;
        for (int i = 0; i < segments; ++i) {
            const float ph = 2 * kPi * float(i) / float(segments);
            row.push_back(o.AddPoint(radius * std::sin(th) * std::cos(ph), radius * std::cos(th),
                                     radius * std::sin(th) * std::sin(ph)));
        }
        rows.push_back(row);
    }
    const uint16_t bottom = o.AddPoint(0, -radius, 0);
    const Point inside = {0, 0, 0};
    for (int i = 0; i < segments; ++i) {
        const size_t j = size_t((i + 1) % segments), k = size_t(i);
        AddOutward(o, {top, rows.front()[k], rows.front()[j]}, s, inside);
        for (size_t r = 0; r + 1 < rows.size(); ++r)
            AddOutward(o, {rows[r][k], rows[r + 1][k], rows[r + 1][j], rows[r][j]}, s, inside);
        AddOutward(o, {bottom, rows.back()[j], rows.back()[k]}, s, inside);
    }
    return o;
}

Object Icosphere(int subdivisions, float radius, const Surface &surface) {
    const float t = (1 + std::sqrt(5.0f)) / 2;
    std::vector<Point> p = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                            {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    std::vector<std::array<uint16_t, 3>> f = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                              {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                              {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                              {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    auto onSphere = [radius](Point q) {
        const float l = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
        return Point{q.x / l * radius, q.y / l * radius, q.z / l * radius};
    };
    for (Point &q : p) q = onSphere(q);
    for (int level = 0; level < subdivisions; ++level) {
        std::map<std::pair<uint16_t, uint16_t>, uint16_t> middles;
        auto middle = [&](uint16_t a, uint16_t b) {
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto it = middles.find(key);
            if (it != middles.end()) return it->second;
            p.push_back(onSphere({(p[a].x + p[b].x) / 2, (p[a].y + p[b].y) / 2, (p[a].z + p[b].z) / 2}));
            const uint16_t m = uint16_t(p.size() - 1);
            middles[key] = m;
            return m;
        };
        std::vector<std::array<uint16_t, 3>> next;
        for (const auto &tri : f) {
            const uint16_t ab = middle(tri[0], tri[1]), bc = middle(tri[1], tri[2]), ca = middle(tri[2], tri[0]);
            next.push_back({tri[0], ab, ca});
            next.push_back({tri[1], bc, ab});
            next.push_back({tri[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        f = std::move(next);
    }
    Object o;
    const int16_t s = o.AddSurface(surface);
    o.points = p;
    for (const auto &tri : f) AddOutward(o, {tri[0], tri[1], tri[2]}, s, {0, 0, 0});
    return o;
}

Object Plate(float width, float height, const Surface &surface) {
    Object o;
    const int16_t s = o.AddSurface(surface);
    const float w = width / 2, h = height / 2;
    const uint16_t a = o.AddPoint(-w, -h, 0), b = o.AddPoint(-w, h, 0), c = o.AddPoint(w, h, 0),
                   d = o.AddPoint(w, -h, 0);
    // Seen from in front (from -z), normal towards -z.
    AddOutward(o, {a, b, c, d}, s, {0, 0, 1});
    return o;
}

}  // namespace lwob
