// The script compiler and interpreter, and the symbol table.
#pragma once

// The value of a named script symbol (a font, camera, window, model or
// object), or null when absent.
void *GetScriptSymbolValue(const char *name);
