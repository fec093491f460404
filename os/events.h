// The window messages of the game, as records taken from SDL's events.
#pragma once

#include <cstdint>

enum OsMessageType : uint16_t {
    OSM_NONE = 0,
    OSM_QUIT,           // wParam: exit code
    OSM_CLOSE,          // the window was closed: the procedure posts a quit
    OSM_KEYDOWN,        // wParam: SDL keycode; keyData: see below
    OSM_KEYUP,
    OSM_SYSKEYDOWN,     // keys with Alt held, and F10
    OSM_SYSKEYUP,
    OSM_CHAR,           // wParam: the Windows-1252 character
    OSM_MOUSEMOVE,      // x, y in window pixels; wParam: MK_ flags
    OSM_LBUTTONDOWN,
    OSM_LBUTTONUP,
    OSM_LBUTTONDBLCLK,  // takes the place of the second press of a double click
    OSM_RBUTTONDOWN,
    OSM_RBUTTONUP,
    OSM_RBUTTONDBLCLK,
    OSM_MBUTTONDOWN,
    OSM_MBUTTONUP,
    OSM_MOUSEWHEEL,     // wParam: signed notches x 120
    OSM_ACTIVATEAPP,    // wParam: 1 active, 0 inactive
    OSM_PAINT,
    OSM_DROPFILES,      // path: the file; dropCount: files in this drop
    OSM_FILMNOTIFY,     // wParam: the film window's new mode (1 stopped)
};

// Mouse key flags (MK_ bits).
enum : uint32_t { OS_MK_LBUTTON = 1, OS_MK_RBUTTON = 2, OS_MK_SHIFT = 4, OS_MK_CONTROL = 8, OS_MK_MBUTTON = 0x10 };

// Key data word of key messages (the high word of a key message's lParam).
enum : uint16_t { OS_KD_EXTENDED = 0x0100, OS_KD_ALTDOWN = 0x2000, OS_KD_REPEAT = 0x4000, OS_KD_UP = 0x8000 };

struct OsMessage {
    uint16_t type;
    uint16_t keyData;  // set-1 scan code in the low byte, OS_KD_ bits above
    uint32_t wParam;
    int32_t x, y;
    int32_t dropCount;
    char path[260];
};

// Takes the next message without waiting; false when none is waiting.
// A SIGINT or SIGTERM arrives as OSM_QUIT with code 0.
bool osPeekMessage(OsMessage *msg);
// Queues a message behind those waiting (PostMessage).
void osPostMessage(const OsMessage &msg);
void osPostQuit(int exitCode);
// Routes SIGINT and SIGTERM to a quit message. Safe to call more than once.
void osInstallQuitSignals();
// Forgets every waiting message and a pending signal (tests).
void osFlushMessages();

// Windows-1252 byte of a Unicode code point, 0 when it has none.
uint8_t osCodePointTo1252(uint32_t cp);
