#include "gui/bindings.h"

#include <cstring>

#include "world/flight.h"

uint16_t KeyBindingTable[kBindModifiers][kBindKeys];
int32_t gJoyAxisRole[kJoyRoles] = {0, 1, 3, 2, 5, 6, 4};
int32_t gJoyAxisInvert[kJoyRoles];

void ResetBindings() {
    static const int32_t kRoles[kJoyRoles] = {0, 1, 3, 2, 5, 6, 4};
    std::memset(KeyBindingTable, 0, sizeof KeyBindingTable);
    std::memset(gLookKeys, 0, sizeof gLookKeys);
    dunThrustKeys[0] = 57;
    dunThrustKeys[1] = 54;
    std::memcpy(gJoyAxisRole, kRoles, sizeof kRoles);
    std::memset(gJoyAxisInvert, 0, sizeof gJoyAxisInvert);
}

bool guiFindKeyBinding(uint16_t command, int *modifier, int *scan) {
    for (int row = 0; row < 2; ++row)
        for (int key = 0; key < kBindKeys; ++key)
            if (KeyBindingTable[row][key] == command) {
                if (modifier) *modifier = row;
                if (scan) *scan = key;
                return true;
            }
    return false;
}
