#include "gui/bindings.h"

#include <cstring>

uint16_t KeyBindingTable[kBindModifiers][kBindKeys];
LookKey gLookKeys[kLastLookCommand - kFirstLookCommand + 1];
uint16_t gThrustKeys[2] = {57, 54};
int32_t gJoyAxisRole[kJoyRoles] = {0, 1, 3, 2, 5, 6, 4};
int32_t gJoyAxisInvert[kJoyRoles];
uint32_t gLastEscapeFrame;

void ResetBindings() {
    static const int32_t kRoles[kJoyRoles] = {0, 1, 3, 2, 5, 6, 4};
    std::memset(KeyBindingTable, 0, sizeof KeyBindingTable);
    std::memset(gLookKeys, 0, sizeof gLookKeys);
    gThrustKeys[0] = 57;
    gThrustKeys[1] = 54;
    std::memcpy(gJoyAxisRole, kRoles, sizeof kRoles);
    std::memset(gJoyAxisInvert, 0, sizeof gJoyAxisInvert);
    gLastEscapeFrame = 0;
}
