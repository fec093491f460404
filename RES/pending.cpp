// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log; those the start-up depends on already
// behave as their module will.
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>

#include "RES/font.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "RES/random.h"
#include "RES/resman.h"
#include "RES/surface.h"
#include "app/log.h"
#include "app/system.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)

// ---- Shared utilities.
static unsigned gRuntimeRandState = 1;
int RuntimeRand() {
    PENDING_ONCE("RuntimeRand");
    gRuntimeRandState = gRuntimeRandState * 214013u + 2531011u;
    return int((gRuntimeRandState >> 16) & 0x7FFF);
}
void RuntimeSrand(unsigned seed) {
    PENDING_ONCE("RuntimeSrand");
    gRuntimeRandState = seed;
}

// ---- Fonts, texts and sounds.
static uint32_t FileLength(const char *name) {
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    long n = std::ftell(f);
    std::fclose(f);
    return n > 0 ? uint32_t(n) : 0;
}

uint32_t FntFontSize(const char *) {
    PENDING_ONCE("FntFontSize");
    return 0;
}
void *LoadFntFont(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadFntFont");
    return nullptr;
}
uint32_t FonFontSize(const char *) {
    PENDING_ONCE("FonFontSize");
    return 0;
}
void *LoadFonFont(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadFonFont");
    return nullptr;
}
uint32_t VectorFontSize(const char *) {
    PENDING_ONCE("VectorFontSize");
    return 10000;
}
void *vfontLoad(const char *, void *, uint32_t *) {
    PENDING_ONCE("vfontLoad");
    return nullptr;
}
uint32_t TextFileSize(const char *name) {
    PENDING_ONCE("TextFileSize");
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return 0;
    std::fclose(f);
    return FileLength(name) + 1;
}
void *LoadTextFile(const char *name, void *block, uint32_t *size) {
    PENDING_ONCE("LoadTextFile");
    if (!block || !size || !*size) return nullptr;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return nullptr;
    size_t n = std::fread(block, 1, *size - 1, f);
    std::fclose(f);
    static_cast<char *>(block)[n] = 0;
    *size = uint32_t(n);
    return block;
}
uint32_t SoundResourceSize(const char *) {
    PENDING_ONCE("SoundResourceSize");
    return 64;
}
void *LoadSoundResource(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadSoundResource");
    return nullptr;
}

// ---- 3D models: they need the rendering library's model records.
void *LoadDatModel(const char *name, void *, uint32_t *) {
    PENDING_ONCE("LoadDatModel");
    dunFileAccessLog(name);
    return nullptr;
}
void *LoadAsciiModel(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadAsciiModel");
    return nullptr;
}

// ---- Zero-filled blocks.
void *dunAlloc(size_t n) {
    PENDING_ONCE("dunAlloc");
    return std::calloc(1, n ? n : 1);
}
void dunFree(void *p) {
    PENDING_ONCE("dunFree");
    std::free(p);
}

// ---- Vector and matrix math.

double VecLength(const Vec3 *v) {
    PENDING_ONCE("VecLength");
    return std::sqrt(double(v->x) * v->x + double(v->y) * v->y + double(v->z) * v->z);
}
float VecLengthApprox(const Vec3 *v) {
    PENDING_ONCE("VecLengthApprox");
    float a = std::fabs(v->x), b = std::fabs(v->y), c = std::fabs(v->z), t;
    if (a < b) { t = a; a = b; b = t; }
    if (a < c) { t = a; a = c; c = t; }
    return float(double(a) + 0.34375 * b + 0.25 * c);
}
float VecNormalise(Vec3 *v) {
    PENDING_ONCE("VecNormalise");
    float len = float(VecLength(v));
    if (len == 0.0f) return 0.0f;
    v->x /= len; v->y /= len; v->z /= len;
    return len;
}
Mat4 *MatIdentity(Mat4 *a) {
    PENDING_ONCE("MatIdentity");
    std::memset(a, 0, sizeof *a);
    a->m[0] = a->m[5] = a->m[10] = a->m[15] = 1.0f;
    return a;
}
void MatCopy(Mat4 *a, const Mat4 *b) { PENDING_ONCE("MatCopy"); *a = *b; }

static void preMultiply(Mat4 *a, const Mat4 &r) {  // A = R x A
    Mat4 out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += double(r.m[4 * i + k]) * a->m[4 * k + j];
            out.m[4 * i + j] = float(s);
        }
    *a = out;
}
static void postMultiply(Mat4 *a, const Mat4 &r) {  // A = A x R
    Mat4 out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += double(a->m[4 * i + k]) * r.m[4 * k + j];
            out.m[4 * i + j] = float(s);
        }
    *a = out;
}
static void rotation(int axis, float degrees, Mat4 *r) {
    double rad = degrees / 180.0 * 3.1415926;
    float c = float(std::cos(rad)), s = float(std::sin(float(rad)));
    MatIdentity(r);
    if (axis == 0) { r->m[5] = c; r->m[6] = s; r->m[9] = -s; r->m[10] = c; }
    if (axis == 1) { r->m[0] = c; r->m[2] = -s; r->m[8] = s; r->m[10] = c; }
    if (axis == 2) { r->m[0] = c; r->m[1] = -s; r->m[4] = s; r->m[5] = c; }
}
void MatRotateX(float d, Mat4 *a) { PENDING_ONCE("MatRotateX"); Mat4 r; rotation(0, d, &r); preMultiply(a, r); }
void MatRotateY(float d, Mat4 *a) { PENDING_ONCE("MatRotateY"); Mat4 r; rotation(1, d, &r); preMultiply(a, r); }
void MatRotateZ(float d, Mat4 *a) { PENDING_ONCE("MatRotateZ"); Mat4 r; rotation(2, d, &r); preMultiply(a, r); }
static void scaling(float x, float y, float z, Mat4 *a) {
    Mat4 s;
    MatIdentity(&s);
    s.m[0] = x; s.m[5] = y; s.m[10] = z;
    postMultiply(a, s);
}
void MatScale(float p, Mat4 *a) { PENDING_ONCE("MatScale"); scaling(p / 100, p / 100, p / 100, a); }
void MatScaleX(float p, Mat4 *a) { PENDING_ONCE("MatScaleX"); scaling(p / 100, 1, 1, a); }
void MatScaleY(float p, Mat4 *a) { PENDING_ONCE("MatScaleY"); scaling(1, p / 100, 1, a); }
void MatScaleZ(float p, Mat4 *a) { PENDING_ONCE("MatScaleZ"); scaling(1, 1, p / 100, a); }
void MatTranslate(float x, float y, float z, Mat4 *a) {
    PENDING_ONCE("MatTranslate");
    a->m[12] += x; a->m[13] += y; a->m[14] += z;
}
Vec3 *MatTransformPoint(Vec3 *out, const Vec3 *p, const Mat4 *a) {
    PENDING_ONCE("MatTransformPoint");
    const float *m = a->m;
    Vec3 r = {float(double(m[0]) * p->x + double(m[1]) * p->y + double(m[2]) * p->z),
              float(double(m[4]) * p->x + double(m[5]) * p->y + double(m[6]) * p->z),
              float(double(m[8]) * p->x + double(m[9]) * p->y + double(m[10]) * p->z)};
    *out = r;
    return out;
}
static void cross(const Vec3 &a, const Vec3 &b, Vec3 *o) {
    *o = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
void MatLookAlong(const Vec3 *forward, const Vec3 *up, Mat4 *a) {
    PENDING_ONCE("MatLookAlong");
    Vec3 u = up ? Vec3{-up->x, -up->y, -up->z} : Vec3{0, -1, 0};
    Vec3 f = *forward;
    VecNormalise(&f);
    Vec3 x, y;
    cross(f, u, &x);
    VecNormalise(&x);
    cross(f, x, &y);
    a->m[0] = x.x; a->m[1] = x.y; a->m[2] = x.z; a->m[3] = 0;
    a->m[4] = y.x; a->m[5] = y.y; a->m[6] = y.z; a->m[7] = 0;
    a->m[8] = f.x; a->m[9] = f.y; a->m[10] = f.z; a->m[11] = 0;
    a->m[15] = 1;
}
