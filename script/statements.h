// The statement families' rows of the interpreter's statement table.
#pragma once

#include <cstdint>

#include "script/interp.h"

struct ScriptStatementRow {
    uint32_t code;
    ScriptStatement statement;
};

// Each ended by a row with a null statement.
extern const ScriptStatementRow kControlStatements[];
extern const ScriptStatementRow kWatchStatements[];
extern const ScriptStatementRow kVariableStatements[];
extern const ScriptStatementRow kMissionStatements[];
extern const ScriptStatementRow kStartupStatements[];
extern const ScriptStatementRow kResourceStatements[];
extern const ScriptStatementRow kShipStatements[];
extern const ScriptStatementRow kObjectStatements[];
extern const ScriptStatementRow kDialogueStatements[];
extern const ScriptStatementRow kGroupStatements[];
extern const ScriptStatementRow kBriefingStatements[];
extern const ScriptStatementRow kOrderStatements[];

// Builds the statement table (at script system start-up).
void FillScriptStatements();
