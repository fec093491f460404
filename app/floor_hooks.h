// The tables through which the lower floors call up into the GUI, the HUD,
// the 3D presentation and the shell. The shell fills them with those
// operations first thing at start-up.
#pragma once

void InstallFloorHooks();
