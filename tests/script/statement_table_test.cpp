// The statement table: every keyword that begins a statement runs its own
// statement (none is left to a stand-in that steps over its line).
#include "gui/cockpit.h"
#include "script/screens.h"
#include "script/statements.h"
#include "script_fixture.h"

using namespace scripttest;

namespace {

// Keywords that are operands only: conversion methods, anchors and meter
// styles, routines, cameras, sides, emitters, ship kinds, sense flags,
// thrusters, objective states, events and actions, behaviours, weapon
// types, arcs, director events, dock types and behaviours, BEGIN and END,
// the open brace, the conditions with AND, OR and NOT, and the switches.
bool OperandOnly(uint32_t code) {
    static const struct {
        uint32_t low, high;
    } kRanges[] = {{2, 20},    {82, 94},   {161, 172}, {174, 180}, {195, 201}, {300, 305},
                   {307, 325}, {327, 358}, {360, 372}, {388, 390}, {392, 408}, {410, 415},
                   {417, 475}, {477, 478}, {494, 494}, {500, 551}, {558, 560}, {583, 588}};
    for (const auto &r : kRanges)
        if (code >= r.low && code <= r.high) return true;
    return false;
}

class StatementTable : public ScriptTest {
protected:
    void SetUp() override {
        // The screens' statements come with the GUI's table.
        guiInstallScriptHooks();
        ScriptTest::SetUp();
    }
    void TearDown() override {
        ScriptTest::TearDown();
        ScriptSetGuiHooks(nullptr);
    }
};

TEST_F(StatementTable, EveryStatementKeywordHasItsOwnRow) {
    for (const ScriptWord *w = ScriptKeywordTable; w->text; ++w)
        if (!OperandOnly(w->code)) {
            EXPECT_NE(gScriptStatements[w->code], nullptr) << w->text;
        }
}

}  // namespace
