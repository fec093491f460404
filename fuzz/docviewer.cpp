// The document viewer over arbitrary page bytes: laid out and drawn into a
// small surface, links followed, with pages, links and media names of any
// length.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "gui/docviewer.h"
#include "platform/keyboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static std::vector<uint8_t> pixels(160 * 120);
    // The media each page registers go when the page does, as a mission's
    // go at its end: thousands of pages' names would otherwise fill the
    // resource handles.
    static bool marked = (resmanMark(), true);
    (void)marked;
    Surface surface{};
    surface.pixels = pixels.data();
    surface.width = 160;
    surface.height = 120;
    surface.pitch = 160;
    surface.bytesPerPixel = 1;
    const ClipRect rect{10, 10, 149, 109};
    docResetViewer();
    gDocViewer.page = static_cast<char *>(std::calloc(kDocPageBytes, 1));
    gDocViewer.pageSize = size < kDocPageBytes ? size : kDocPageBytes;
    if (gDocViewer.pageSize) std::memcpy(gDocViewer.page, data, gDocViewer.pageSize);
    gDocViewer.rect = rect;
    std::strcpy(gDocViewer.loaded, gDocViewer.requested);
    gDocViewer.drawing = 0;
    docRenderPage();
    if (gDocViewer.linkCount < 0 || gDocViewer.linkCount > kDocLinks) std::abort();
    if (gDocViewer.mediaCount < 0 || gDocViewer.mediaCount > kDocMedia) std::abort();
    for (int i = 0; i < gDocViewer.linkCount; ++i)
        if (!std::memchr(gDocViewer.links[i].target, 0, kDocNameBytes)) std::abort();
    docDrawViewer(&surface, &rect);
    for (int i = 0; i < gDocViewer.linkCount && i < 4; ++i) {
        gMouse.x = (gDocViewer.links[i].x0 + gDocViewer.links[i].x1) / 2;
        gMouse.y = (gDocViewer.links[i].y0 + gDocViewer.links[i].y1) / 2;
        docFollowLink();
    }
    docResetViewer();
    resmanRelease();
    return 0;
}
