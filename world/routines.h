// Other object routines (the game frame's ambience).
#pragma once

#include "world/objroutines.h"
