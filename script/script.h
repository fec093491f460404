// The script compiler and interpreter, and the symbol table.
#pragma once

#include <cstdint>

struct ScriptToken;

void InitializeScriptSystem();
// Tokenises a script file; the start pc, or null when the file is missing.
ScriptToken *TokeniseScript(const char *path);
// Runs from the pc in the holder until the script ends, yields (1) or fails;
// stores the pc back. runEvents -1: one frame's turn; 0: run to the end.
int ScriptProcessor(ScriptToken **pc, int runEvents);
void *GetScriptSymbolValue(const char *name);
void MarkScriptBaseline();
void ResetScriptForMission();
void FreeScriptBuffers();
