// The statements of the start-up scripts that set the screens up: the key
// and joystick bindings, the options' start values, window help and the
// centring of windows. The GUI installs them in the script's statement
// table.
#include "core/options.h"
#include "gui/bindings.h"
#include "gui/options.h"
#include "gui/script_statements.h"
#include "gui/window.h"
#include "platform/joystick.h"
#include "present/cameras.h"
#include "script/interp.h"
#include "script/symbols.h"
#include "world/flight.h"

namespace {

void CancelResAdj(ScriptRun &) { gGuiCentreMode = 1; }

void WinHelp(ScriptRun &run) {
    GuiWindow *w = guiLiveWindow(ScriptSymbolThing(DecodeSymbolOperand(run, SymKind::Window)));
    int32_t index = ScriptTrunc(DecodeNumberOperand(run));
    if (w) w->helpNoteIndex = int16_t(index);
}

void InitVar(ScriptRun &run) {
    const char *name = DecodeTextOperand(run);
    frontSetOptionByName(name, DecodeNumberOperand(run));
}

void BindKey(ScriptRun &run) {
    int32_t key = ScriptTrunc(DecodeNumberOperand(run));
    int32_t command = ScriptTrunc(DecodeNumberOperand(run));
    int32_t modifier = ScriptTrunc(OptionalNumberOperand(run));
    if (key < 0 || key >= kBindKeys || modifier < 0 || modifier >= kBindModifiers)
        ScriptFail(run, ScriptStatus::BadToken, "BINDKEY key or modifier out of range");
    if (command >= kFirstLookCommand && command <= kLastLookCommand) {
        gLookKeys[command - kFirstLookCommand] = {uint16_t(key), int16_t(-modifier)};
        return;
    }
    KeyBindingTable[modifier][key] = uint16_t(command);
}

void BindKeyThr(ScriptRun &run) {
    // The flight polls these; a scan code is one byte.
    uint8_t keys[2];
    for (uint8_t &k : keys) {
        const int32_t scan = ScriptTrunc(DecodeNumberOperand(run));
        if (scan < 0 || scan >= kBindKeys) ScriptFail(run, ScriptStatus::BadToken, "BINDKEYTHR key out of range");
        k = uint8_t(scan);
    }
    dunThrustKeys[0] = keys[0];
    dunThrustKeys[1] = keys[1];
}

void BindJoyAxis(ScriptRun &run) {
    int32_t role = ScriptTrunc(DecodeNumberOperand(run));
    int32_t axis = ScriptTrunc(DecodeNumberOperand(run));
    int32_t invert = ScriptTrunc(DecodeNumberOperand(run));
    if (role < 0 || role >= kJoyRoles || axis < 0 || axis >= JOY_AXIS_COUNT)
        ScriptFail(run, ScriptStatus::BadToken, "BINDJOYAXIS role or axis out of range");
    gJoyAxisRole[role] = axis;
    gJoyAxisInvert[role] = invert;
    // The joystick poll negates the axes whose flag is set.
    if (role < int32_t(sizeof JoyInvert / sizeof JoyInvert[0])) JoyInvert[role] = invert;
}

}  // namespace

const ScriptStatementRow kSettingStatements[] = {
    {54, CancelResAdj}, {55, WinHelp}, {602, InitVar}, {603, BindKey}, {604, BindKeyThr}, {605, BindJoyAxis},
    {0, nullptr},
};
