// The script system as the rest of the game uses it: start-up, compiling a
// script file, running a compiled script, and the per-mission reset. The
// named-thing lookup the world also uses is in script/mission.h.
#pragma once

#include <cstdint>

#include "script/tokens.h"

// The resume point of the running main mission script; null when none runs.
extern ScriptToken *gMainScriptPc;

// Once per run: the buffers, the built-in symbols, the baseline.
void InitializeScriptSystem();
// Compiles a script file (and what it includes) at the token top; the start
// pc, or null when the file cannot be opened.
ScriptToken *TokeniseScript(const char *path);
// Runs from the pc in the holder until the script ends, yields (1) or fails;
// stores the pc back. runEvents non-zero: the main mission script's turn,
// event routines first.
int ScriptProcessor(ScriptToken **pc, int runEvents);
// Everything compiled or named after the baseline belongs to the mission.
void MarkScriptBaseline();
void ResetScriptForMission();
void FreeScriptBuffers();
