// Fills the interpreter's statement table from the families' rows.
#include <initializer_list>

#include "script/screens.h"
#include "script/statements.h"

void FillScriptStatements() {
    for (uint32_t code = 0; code <= Sc::LastKeyword; ++code) gScriptStatements[code] = nullptr;
    // The screens' statements are the GUI's, when it installed them.
    const ScriptGuiHooks &gui = ScriptGui();
    for (const ScriptStatementRow *rows :
         {kControlStatements, kWatchStatements, kVariableStatements, gui.windowStatements, kMissionStatements,
          kStartupStatements, gui.settingStatements, kResourceStatements, kShipStatements, kObjectStatements,
          kDialogueStatements, kGroupStatements, kBriefingStatements, kOrderStatements})
        for (const ScriptStatementRow *r = rows; r && r->statement; ++r)
            if (r->code <= Sc::LastKeyword) gScriptStatements[r->code] = r->statement;
}
