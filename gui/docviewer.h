// The in-game document viewer: pages of a small HTML subset under the
// documents folder (tags html, a, p, title, h1-h6, hr, br, img; attributes
// href, name, src, size; "<!" comments), with pictures and films, drawn in
// the main view's place while the simulation holds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RES/gfx2d.h"

struct ResourceHandle;
struct Surface;

constexpr size_t kDocPageBytes = 16384;
constexpr int kDocLinks = 48;
constexpr int kDocMedia = 24;
constexpr size_t kDocNameBytes = 128;       // page names and link targets, with the terminator
constexpr size_t kDocMediaNameBytes = 16;   // media names, with the terminator

struct DocLink {
    char target[kDocNameBytes];
    int16_t x0, y0, x1, y1;
    uint8_t disabled;
};

struct DocMedia {
    char name[kDocMediaNameBytes];
    ResourceHandle *handle;
    // Draws the entry at the cursor (only advances it outside the draw pass);
    // false once it is finished.
    bool (*draw)(DocMedia *media, bool drawing);
};

struct DocViewer {
    char requested[kDocNameBytes];
    char loaded[kDocNameBytes];
    char previous[kDocNameBytes];
    char *page;         // kDocPageBytes, kept for the run once allocated
    size_t pageSize;
    int mediaShown;     // -1 while a page shows
    int16_t x, y, margin;
    int16_t scroll;
    int32_t height;     // of the laid-out page
    uint8_t drawing;    // the draw pass (else the layout pass)
    uint8_t inTitle;
    uint8_t upArrow, downArrow;
    ClipRect rect;      // the window the viewer draws in
    DocLink links[kDocLinks];
    int linkCount;
    DocMedia media[kDocMedia];
    int mediaCount;
    int16_t lastLink[4];  // the last followed link's rectangle
};

extern DocViewer gDocViewer;

void docOpenHome();
// Opens a page (or shows a media file); false when it cannot be opened.
bool docOpenPage(const char *name);
void docLoadPage(const char *name);
// The layout pass (drawing off) or the draw pass over the page; false when
// a shown media says it has finished.
bool docRenderPage();
void docDrawViewer(Surface *surface, const ClipRect *rect);
// Every frame while the mouse button is held: the arrows scroll by 4.
void docScrollArrows();
// A click in the viewer: a link is followed, a shown media ends.
void docFollowLink();
// The cockpit keys: Up and Down scroll by 4 while the page allows it.
void docScrollBy(int pixels);
// The media entries go with the mission's resources.
void docResetMedia();
// The viewer as at start-up (tests, a fresh start).
void docResetViewer();
