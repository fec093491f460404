// The key queue and key-down table as the films use them.
#pragma once

#include <cstdint>

uint16_t KeyQueueCount();
uint16_t KeyQueueGet();
void KeyQueueReset();
void KeyQueuePut(uint16_t word);
extern uint8_t KeyDownTable[256];
