// The framework core: library begin and end, the three plug points
// (allocator, filesystem, diagnostics), the hierarchical resource allocator,
// resource classes, the scratch buffer and the reporters.
#pragma once

#include <cstdarg>

#include "render/fw/list.h"
#include "render/fw/registry.h"
#include "render/fw/types.h"

// ---- Plugs ---------------------------------------------------------------

struct vt_allocator {
    const char *identifier;
    void *(*allocate)(vt_size size, vt_uint_8 res_class);
    void (*free)(void *mem);
    vt_size (*inquire)(vt_uint_8 res_class);
    vt_uint_32 (*align)(vt_uint_8 res_class); // may be null
};

// Called with the first bytes of a file; answers the open mode (0 binary,
// 1 text).
typedef int vt_mode_test_cbfn(const vt_uint_8 *magics, vt_size n_magics);

enum { VT_FS_MODE_BINARY = 0, VT_FS_MODE_TEXT = 1, VT_FS_MODE_UNKNOWN = 2 };

struct vt_filesystem {
    const char *identifier;
    vt_uint_32 (*attributes)();
    void *(*open_read)(const char *name, vt_size n_magics, vt_mode_test_cbfn *identify, int *mode_result);
    void *(*open_write)(const char *name, int text);
    void (*close)(void *f);
    int (*eof)(void *f);
    int (*getchr)(void *f);
    void (*putchr)(int c, void *f);
    vt_size (*read)(void *buf, vt_size size, vt_size n, void *f);
    vt_size (*write)(const void *buf, vt_size size, vt_size n, void *f);
    vt_size (*getline)(char *buf, vt_size buf_len, void *f);
    void (*putline)(const char *text, void *f);
    void (*advance)(vt_size count, void *f);
};

struct vt_diaghandler {
    const char *identifier;
    void (*warning)(const char *message);
    void (*failure)(const char *message);
};

// Each returns the record installed before; null installs the default.
vt_diaghandler *VtDiagHandlerSet(vt_diaghandler *handler);
vt_filesystem *VtFilesystemSet(vt_filesystem *fs);
vt_allocator *VtAllocatorSet(vt_allocator *allocator);

// The installed records (the defaults when none is installed).
vt_diaghandler *VtDiagHandler();
vt_filesystem *VtFilesystem();
vt_allocator *VtAllocator();

// ---- Resource classes ----------------------------------------------------

enum : vt_uint_8 {
    VT_RES_SCRATCH = 1,
    VT_RES_PIXELMAP = 2,
    VT_RES_PIXELS = 3,
    VT_RES_STRING = 17,
    VT_RES_REGISTRY = 18,
    VT_RES_RESOURCE_CLASS = 20,
    VT_RES_FILE = 21,
    VT_RES_ANCHOR = 22,
    VT_RES_POOL = 23,
    VT_RES_DATAFILE = 25,
    VT_RES_IMAGE = 26,
    VT_RES_IMAGE_ARENA = 27,
    VT_RES_IMAGE_SECTIONS = 28,
    VT_RES_IMAGE_NAMES = 29,
    VT_RES_EXCEPTION_HANDLER = 30,
    VT_RES_TOKEN = 32,
    VT_RES_TOKEN_MAP = 33,
    VT_RES_OBJECT = 34,
    VT_RES_OBJECT_DATA = 35,
    VT_RES_DRIVER = 36,
    VT_RES_LEXER = 37,
    VT_RES_OBJECT_LIST = 38,
    VT_RES_OBJECT_LIST_ENTRY = 39,
    VT_RES_FMT_RESULTS = 41,
    VT_RES_TOKEN_VALUE = 44,
    VT_RES_TOKEN_TEMPLATE = 45,
    VT_RES_BEING_FREED = 127, // never a real class
    VT_RES_APPLICATION = 128,
};

typedef void vt_resourcefree_cbfn(void *res, vt_uint_8 res_class, vt_size size);

struct vt_resource_class {
    void *reserved;
    const char *identifier;
    vt_uint_8 res_class;
    vt_resourcefree_cbfn *free_cb; // may be null
    vt_int_32 alignment;           // 0 or less: 4
};

vt_resource_class *VtResClassAdd(vt_resource_class *rclass);
vt_resource_class *VtResClassRemove(vt_resource_class *rclass);
vt_resource_class *VtResClassFind(const char *pattern);
int VtResClassCount(const char *pattern);
const char *VtResClassIdentifier(vt_uint_8 res_class);

// ---- Memory (through the allocator plug) ---------------------------------

void *VtMemAllocate(vt_size size, vt_uint_8 res_class);
void VtMemFree(void *block);
vt_uint_32 VtMemAlign(vt_uint_8 res_class);
vt_size VtMemInquire(vt_uint_8 res_class);
void *VtMemCalloc(int nelems, vt_size size, vt_uint_8 res_class);
char *VtMemStrDup(const char *text);

// ---- Resources ---------------------------------------------------------------
//
// Every resource is one allocator block: a header, zero padding up to the
// class alignment, then the caller's data. The header is found again from
// the data pointer, so blocks need no table; freeing a block frees its
// whole subtree.

// Bytes of the header in front of each resource's data.
extern const vt_size VtResHeaderSize;
// Largest data size one resource may have.
extern const vt_size VtResSizeLimit;

void *VtResAllocate(void *parent, vt_size size, vt_uint_8 res_class);
void VtResFree(void *block);
void VtResFreeNoCallback(void *block);
void *VtResAdd(void *parent, void *block);
void *VtResRemove(void *block);
vt_uint_8 VtResClass(void *block);
vt_boolean VtResIsChild(void *parent, void *block);
vt_size VtResSize(void *block);
vt_size VtResSizeTotal(void *block);
typedef vt_uint_32 vt_resenum_cbfn(void *block, void *arg);
vt_uint_32 VtResChildEnum(void *block, vt_resenum_cbfn *callback, void *arg);
vt_boolean VtResCheck(void *block);
char *VtResStrDup(void *parent, const char *text);
typedef void vt_putline_cbfn(const char *text, void *arg);
void VtResDump(void *block, vt_putline_cbfn *callback, void *arg);

// The anchor under which every library record hangs (null while inactive).
void *VtFrameworkRoot();

// ---- Scratch buffer ------------------------------------------------------

// Null (after a failure report) while another caller holds the scratch.
void *VtScratchAllocate(vt_size size);
void VtScratchFree(void *scratch);
vt_size VtScratchInquire();
void VtScratchFlush();
char *VtScratchString();
vt_size VtScratchStringSize();

// ---- Reporters -----------------------------------------------------------

void VtFailure(const char *format, ...) VT_PRINTF(1, 2);
void VtWarning(const char *format, ...) VT_PRINTF(1, 2);
void VtFatal(const char *name, int line, const char *format, ...) VT_PRINTF(3, 4);
void _BrAssert(const char *condition, const char *file, unsigned line);
void _BrUAssert(const char *condition, const char *file, unsigned line);

typedef int vt_qsort_cbfn(const void *, const void *);
void VtQsort(void *basep, vt_size nelems, vt_size size, vt_qsort_cbfn *comp);

void VtLastErrorSet(vt_error error, void *value);
vt_error VtLastErrorGet(void **valuep);

// ---- Begin and end -------------------------------------------------------

vt_error VtBegin();
vt_error VtEnd();
vt_error VtFrameworkBegin();
vt_error VtFrameworkEnd();
