#include "platform/keyboard.h"

#include "core/options.h"
#include "os/input.h"
#include "platform/display.h"

uint8_t KeyDownTable[256];
MouseState gMouse;
uint8_t DirectInputMouse;
uint8_t gInFrontEnd;

namespace {

uint16_t gQueue[kKeyQueueSize];
int gWrite, gRead;
// The slot of the word the latest key press queued, which its character
// goes into; -1 when the latest put was not a key press that queued a word.
int gCharSlot = -1;

// Returns the slot written, or -1 when the queue was full.
int Put(uint16_t word) {
    int next = (gWrite + 1) % kKeyQueueSize;
    gCharSlot = -1;
    if (next == gRead) return -1;
    int slot = gWrite;
    gQueue[slot] = word;
    gWrite = next;
    return slot;
}

void TakeMessage(int32_t x, int32_t y, uint32_t keyFlags, void *window) {
    ++gMouse.events;
    gMouse.x = x;
    gMouse.y = y;
    AdjustMouseScale(window);
    gMouse.x16 = static_cast<int16_t>(gMouse.x);
    gMouse.y16 = static_cast<int16_t>(gMouse.y);
    gMouse.keyFlags = keyFlags;
}

// A window mouse message, taken unless the device layer owns the mouse.
bool TakeWindowMouse(int32_t x, int32_t y, uint32_t keyFlags, void *window) {
    if (DirectInputMouse) return false;
    TakeMessage(x, y, keyFlags, window);
    return true;
}

// A mouse button as a key: held, and queued as its own word.
void PressButton(uint8_t key) {
    KeyDownTable[key] = 0xFF;
    Put(static_cast<uint16_t>(key << 8));
}

}  // namespace

void KeyQueuePut(uint16_t word) { Put(word); }

uint16_t KeyQueueCount() {
    int n = gWrite - gRead;
    if (n < 0) n += kKeyQueueSize;
    return static_cast<uint16_t>(n);
}

uint16_t KeyQueueGet() {
    if (gRead == gWrite) return 0;
    uint16_t word = gQueue[gRead];
    gRead = (gRead + 1) % kKeyQueueSize;
    return word;
}

void KeyQueueReset() {
    gWrite = gRead = 0;
    gCharSlot = -1;
}

uint8_t *GetKeyDownTable() { return KeyDownTable; }

void OnKeyDown(void *, uint32_t, int, uint8_t, uint16_t keyData) {
    uint8_t scan = static_cast<uint8_t>(keyData & 0xFF);
    KeyDownTable[scan] = 0xFF;
    // In flight a held key gives one word; only the up and down arrows
    // repeat. The extended bit is not looked at: the cursor keys and the
    // keypad keys with the same scan codes are one key.
    if (!gInFrontEnd && (keyData & KEY_DATA_REPEAT) && scan != 0x48 && scan != 0x50) {
        gCharSlot = -1;
        return;
    }
    gCharSlot = Put(static_cast<uint16_t>(scan << 8));
}

void OnKeyUp(void *, uint32_t, int, uint8_t, uint16_t keyData) { KeyDownTable[keyData & 0xFF] = 0; }

void OnCharMessage(void *, uint8_t character) {
    // Only into the word of the press that made the character, once; a
    // character of a dropped repeat, or one after a mouse click was queued,
    // goes nowhere.
    if (gCharSlot < 0) return;
    gQueue[gCharSlot] |= character;
    gCharSlot = -1;
}

void OnMouseMove(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    TakeWindowMouse(x, y, keyFlags, window);
}

void OnLeftButtonDown(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    if (!TakeWindowMouse(x, y, keyFlags, window)) return;
    ++gMouse.leftDowns;
    KeyDownTable[KEY_LEFT_DOUBLE] = 0;
    PressButton(KEY_LEFT_BUTTON);
}

void OnLeftButtonUp(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    if (!TakeWindowMouse(x, y, keyFlags, window)) return;
    ++gMouse.leftUps;
    KeyDownTable[KEY_LEFT_BUTTON] = 0;
}

void OnLeftDoubleClick(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    TakeMessage(x, y, keyFlags, window);
    PressButton(KEY_LEFT_DOUBLE);
}

void OnRightButtonDown(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    if (!TakeWindowMouse(x, y, keyFlags, window)) return;
    ++gMouse.rightHeld;
    gMouse.rightPressX = gMouse.x;
    gMouse.rightPressY = gMouse.y;
    KeyDownTable[KEY_LEFT_DOUBLE] = 0;
    PressButton(KEY_RIGHT_BUTTON);
}

void OnRightButtonUp(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    if (!TakeWindowMouse(x, y, keyFlags, window)) return;
    ++gMouse.rightUps;
    // A right double click's second press never reaches the game, yet its
    // release does: the held count must not go below 0.
    if (gMouse.rightHeld > 0) --gMouse.rightHeld;
    KeyDownTable[KEY_RIGHT_BUTTON] = 0;
}

void OnMiddleButtonDown(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    if (!TakeWindowMouse(x, y, keyFlags, window)) return;
    PressButton(KEY_MIDDLE_BUTTON);
}

void OnMiddleButtonUp(void *window, int32_t x, int32_t y, uint32_t keyFlags) {
    if (!TakeWindowMouse(x, y, keyFlags, window)) return;
    KeyDownTable[KEY_MIDDLE_BUTTON] = 0;
}

void AdjustMouseScaleTo(int windowRight, int windowBottom, int surfaceWidth, int surfaceHeight) {
    if (windowRight <= 0 || windowBottom <= 0) return;
    gMouse.x = static_cast<int32_t>(static_cast<int64_t>(gMouse.x) * surfaceWidth / windowRight);
    gMouse.y = static_cast<int32_t>(static_cast<int64_t>(gMouse.y) * surfaceHeight / windowBottom);
}

void MouseStateReset() { gMouse = MouseState{}; }

bool MouseScreenSize(int *width, int *height) {
    if (!ScreenSurface.pixels || ScreenSurface.width <= 0 || ScreenSurface.height <= 0) return false;
    *width = ScreenSurface.width;
    *height = ScreenSurface.height;
    return true;
}

void AdjustMouseScale(void *window) {
    if (!CardMode) return;
    int surfaceWidth, surfaceHeight, right, bottom;
    if (!MouseScreenSize(&surfaceWidth, &surfaceHeight) || !osWindowClientSize(window, &right, &bottom)) return;
    AdjustMouseScaleTo(right, bottom, surfaceWidth, surfaceHeight);
}
