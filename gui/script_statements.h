// The statements of the GUI scripts that the GUI carries out, as rows of the
// script's statement table (installed with the GUI's table of the script's
// calls): the windows and screens, and the start-up scripts' settings of the
// screens (key and joystick bindings, the options' start values, window
// help, the centring of windows).
#pragma once

#include "script/statements.h"

extern const ScriptStatementRow kWindowStatements[];
extern const ScriptStatementRow kSettingStatements[];
// The window font of the GUI scripts (WIN_FONT), none at start.
struct ResourceHandle;
extern ResourceHandle *gScriptWindowFont;
