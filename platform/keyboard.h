// Keyboard, mouse and the key queue: key words (scan code high byte,
// character low byte), the key-down table by scan code, mouse state.
#pragma once

#include <cstdint>

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

void KeyQueuePut(uint16_t word);
uint16_t KeyQueueCount();
// The oldest key word, or 0 when the queue is empty.
uint16_t KeyQueueGet();
// 256 bytes by scan code: 0xFF while held.
uint8_t *GetKeyDownTable();
