// Keyboard, mouse and the key queue: key words (scan code high byte,
// character low byte), the key-down table by scan code, mouse state.
#pragma once

#include <cstdint>

// Pseudo scan codes of the mouse (high byte of a key word, key-down entry).
enum : uint8_t {
    KEY_LEFT_BUTTON = 0xA0,
    KEY_MIDDLE_BUTTON = 0xA1,
    KEY_RIGHT_BUTTON = 0xA2,
    KEY_LEFT_DOUBLE = 0xA3,
    KEY_WHEEL_UP = 0xA4,
    KEY_WHEEL_DOWN = 0xA5,
};
// Key-down entries 0x80..0x83 mirror joystick buttons 1..4.
enum : uint8_t { KEY_JOY_BUTTON1 = 0x80 };
// The previous-state bit of a key message's key data: a held key repeating.
enum : uint16_t { KEY_DATA_REPEAT = 0x4000 };

void OnKeyDown(void *window, uint32_t virtualKey, int repeatCount, uint8_t scanCode, uint16_t keyData);
void OnKeyUp(void *window, uint32_t virtualKey, int repeatCount, uint8_t scanCode, uint16_t keyData);
void OnCharMessage(void *window, uint8_t character);
void OnMouseMove(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnLeftButtonDown(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnLeftButtonUp(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnLeftDoubleClick(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnRightButtonDown(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnRightButtonUp(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnMiddleButtonDown(void *window, int32_t x, int32_t y, uint32_t keyFlags);
void OnMiddleButtonUp(void *window, int32_t x, int32_t y, uint32_t keyFlags);

// A ring of 300 words. A full queue (299 unread) drops the newest word.
inline constexpr int kKeyQueueSize = 300;
void KeyQueuePut(uint16_t word);
uint16_t KeyQueueCount();
// The oldest key word, or 0 when the queue is empty.
uint16_t KeyQueueGet();
// Empties the queue and forgets the word a character would go to.
void KeyQueueReset();
// 256 bytes by scan code: 0xFF while held.
uint8_t *GetKeyDownTable();
extern uint8_t KeyDownTable[256];

// Rescales the stored mouse position from window to screen-surface pixels
// when the 3D-card driver draws into a surface of another size.
void AdjustMouseScale(void *window);
// The arithmetic of AdjustMouseScale: the window's right and bottom edges
// and the surface size. An empty window (minimised) leaves the position.
void AdjustMouseScaleTo(int windowRight, int windowBottom, int surfaceWidth, int surfaceHeight);
// The screen surface's size; false while there is none.
bool MouseScreenSize(int *width, int *height);

// Mouse state, in screen-surface pixels.
struct MouseState {
    int32_t x, y;
    int16_t x16, y16;
    uint32_t keyFlags;      // MK_ bits; with the relative mouse bit 0 left, bit 1 right
    int32_t events;         // mouse messages taken
    int32_t leftDowns;      // with the relative mouse: 1 only on the frame the left button went down
    int32_t leftUps;        // likewise for its release
    int32_t rightHeld;      // presses less releases, never below 0
    int32_t rightUps;
    int32_t rightPressX, rightPressY;
    int32_t wheel;          // the relative mouse's wheel position
};
extern MouseState gMouse;
void MouseStateReset();

// Set while the relative ("DirectInput") mouse feeds the mouse state; the
// window's mouse messages are then ignored, except the double click.
extern uint8_t DirectInputMouse;

// Set while the front end runs instead of a mission (every key repeats).
extern uint8_t gInFrontEnd;
