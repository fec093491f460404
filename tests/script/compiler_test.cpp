// The tokeniser: word classes, strings, labels, braces, INCLUDE, buffers and
// error reports.
#include <cstring>
#include <fstream>
#include <sstream>

#include "script/mission.h"
#include "script_fixture.h"

using namespace scripttest;

namespace {

std::string DebugLog() {
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Compiler : public ScriptTest {};

TEST_F(Compiler, ForwardCallAndTheLabelCell) {
    ScriptToken *start = Compile("CALL Later\nWAIT\nLater:\nRETURN\n");
    uint32_t s = ScriptTokenIndex(start);
    std::vector<ScriptToken> t = Tokens(start);
    ASSERT_EQ(t.size(), 13u);
    EXPECT_EQ(t[0].code, Sc::Call);
    EXPECT_EQ(t[1].code, Sc::Symbol);  // a label operand is a known reference even when new
    EXPECT_EQ(t[1].arg, SymIndex("Later"));
    EXPECT_EQ(t[4].code, Sc::Wait);
    EXPECT_EQ(t[9].code, Sc::Return);
    // The label's cell holds the token after it: the marker of its own line.
    EXPECT_EQ(ScriptLabelTarget(Sym("Later")), s + 7);
    EXPECT_EQ(gScriptTokens[s + 7].code, Sc::Do);
    // The registry gives a label's cell, not the token it names.
    EXPECT_EQ(GetScriptSymbolValue("Later"), static_cast<void *>(Sym("Later")->initial));
}

TEST_F(Compiler, LineMarkersCarryLineOffsetAndFile) {
    ScriptToken *start = Compile("WAIT\r\n\r\nRETURN", "vek\\m.scr");
    std::vector<ScriptToken> t = Tokens(start);
    ASSERT_EQ(t.size(), 9u);
    EXPECT_EQ(t[1].code, Sc::Do);
    EXPECT_EQ(t[1].arg, 0u);
    EXPECT_EQ(t[2].code, 6u);  // byte offset after the first line
    EXPECT_STREQ(ScriptNameAt(t[2].arg), "vek\\m.scr");
    EXPECT_EQ(t[3].arg, 1u);
    EXPECT_EQ(t[5].code, Sc::Return);  // the last line counts without its line feed
    EXPECT_EQ(t[6].arg, 2u);
    EXPECT_EQ(t[7].code, 14u);
}

TEST_F(Compiler, WordClasses) {
    struct Case {
        const char *text;
        std::vector<uint32_t> codes;  // statement tokens, markers left out
        int markers;
    };
    const Case cases[] = {
        {"; a remark\n", {Sc::Remark}, 1},
        {"// a remark\n", {Sc::Remark}, 1},
        {"WAIT ; RETURN\n", {Sc::Wait}, 1},
        {"WAIT,RETURN\tBEGIN\n", {Sc::Wait, Sc::Return, Sc::Begin}, 1},
        {" /* x\n", {Sc::NewSymbol, Sc::NewSymbol}, 1},
        {"/* a\nWAIT\n*/\nRETURN\n", {Sc::Return}, 4},
        {"\r\n", {}, 1},
        {"#PRAGMA once\n", {}, 1},
        {"3DP 2DOBJ\n", {24, 155}, 1},
        {"KEY_ESC R_FIRE\n", {Sc::KeyNameTag | 1, Sc::KeyNameTag | 80}, 1},
        {"12abc Inferno 0x10\n", {Sc::Data, Sc::NewSymbol, Sc::Data}, 1},
        {"", {}, 0},
    };
    for (const Case &c : cases) {
        ScriptToken *start = Compile(c.text);
        std::vector<uint32_t> codes;
        for (const ScriptToken &t : Statements(start)) codes.push_back(t.code);
        EXPECT_EQ(codes, c.codes) << c.text;
        EXPECT_EQ(Tokens(start).size(), c.codes.size() + 2 * c.markers + 1) << c.text;
    }
}

TEST_F(Compiler, NumbersAndNamesAsTheyRead) {
    std::vector<ScriptToken> t = Statements(Compile("SET X 12abc\nSET X 0x10\nSET X Inferno X\n"));
    ASSERT_EQ(t.size(), 10u);
    EXPECT_EQ(ScriptDataFloat(t[2].arg), 12.0f);
    EXPECT_EQ(ScriptDataFloat(t[5].arg), 0.0f);
    EXPECT_EQ(t[1].code, Sc::NewSymbol);  // the first mention makes the symbol
    EXPECT_EQ(t[4].code, Sc::Symbol);
    EXPECT_EQ(t[8].code, Sc::NewSymbol);
    EXPECT_STREQ(ScriptSymbolAt(t[8].arg)->name, "Inferno");
    EXPECT_EQ(t[9].code, Sc::Symbol);
}

TEST_F(Compiler, StringsAndLanguageParts) {
    std::string longPart(200, 'a');
    std::string longString(300, 'b');
    struct Case {
        std::string text;
        int language;
        std::string want;
    };
    const Case cases[] = {
        {"\"one,  two\"", 0, "one two"},
        {"\"a\ttab ;not a remark\"", 0, "a tab ;not a remark"},
        {"\"|Eng|Fra|Deu|\"", 0, "Eng"},
        {"\"|Eng|Fra|Deu|\"", 1, "Fra"},
        {"\"|Eng|Fra|Deu|\"", 2, "Deu"},
        {"\"|Two words|Deux mots|\"", 1, "Deux mots"},
        {"\"|Eng only|\"", 2, "Eng only"},
        {"\"|" + longPart + "|x|\"", 0, std::string(127, 'a')},
        {"\"" + longString + "\"", 0, std::string(251, 'b')},
        {"\"runs to the end", 0, "runs to the end"},
        {"\"", 0, ""},
        {"\"\"", 0, ""},
    };
    for (const Case &c : cases) {
        gLanguage = (uint16_t)c.language;
        std::vector<ScriptToken> t = Statements(Compile(c.text + "\n"));
        ASSERT_EQ(t.size(), 1u) << c.text;
        EXPECT_EQ(t[0].code, Sc::Data);
        EXPECT_EQ(ScriptDataText(t[0].arg), c.want) << c.text;
    }
}

TEST_F(Compiler, BracesArePatchedInPairs) {
    ScriptToken *start = Compile("IF ALWAYS {\nWAIT\n}\n{\nWAIT\n} WHILE NEVER\n");
    uint32_t s = ScriptTokenIndex(start);
    std::vector<uint32_t> at;
    for (uint32_t i = s; gScriptTokens[i].code != Sc::End; ++i) {
        if (gScriptTokenFlags[i] & ScriptTokenFlag::Marker) {
            ++i;
            continue;
        }
        if (gScriptTokens[i].code == Sc::OpenBrace || gScriptTokens[i].code == Sc::CloseBrace) at.push_back(i);
    }
    ASSERT_EQ(at.size(), 4u);
    EXPECT_EQ(gScriptTokens[at[0]].arg, at[1] + 1);  // '{' skips past its '}'
    EXPECT_EQ(gScriptTokens[at[1]].arg, at[0] + 1);  // '}' loops to after its '{'
    EXPECT_EQ(gScriptTokens[at[2]].arg, at[3] + 1);
    EXPECT_EQ(gScriptTokens[at[3]].arg, at[2] + 1);
}

TEST_F(Compiler, BraceFaultsAreBoundedBothWays) {
    EXPECT_EQ(FatalText([] { Compile("}\n"); }), "test.scr : Mismatched Braces. '{}' ");
    EXPECT_NE(DebugLog().find("Brace underflow: Unexpected '}'."), std::string::npos);
    EXPECT_EQ(FatalText([] { Compile("{\n"); }), "test.scr : Mismatched Braces. '{}' ");
    // An opening brace met below zero is not stored anywhere.
    EXPECT_EQ(FatalText([] { Compile("}\n{\n"); }), "");

    // Nesting deeper than the stack: a message, no write past it, and the
    // recorded pairs still patched.
    std::string deep(121, '{');
    std::string text;
    for (char c : deep) text += std::string(1, c) + "\n";
    for (int i = 0; i < 121; ++i) text += "}\n";
    uint32_t s = ScriptTokenIndex(Compile(text));
    EXPECT_NE(DebugLog().find("Brace('{') Nesting has exceeded limit."), std::string::npos);
    // The outermost pair: the first '{' and the last '}'.
    uint32_t lastClose = gScriptTokenTop - 4;  // '}', its marker, END
    EXPECT_EQ(gScriptTokens[lastClose].code, Sc::CloseBrace);
    EXPECT_EQ(gScriptTokens[s].arg, lastClose + 1);
}

TEST_F(Compiler, TheBraceWarningComesWithTheBraceThatFillsTheStack) {
    const auto warnings = [] {
        const std::string log = DebugLog();
        size_t n = 0;
        for (size_t at = log.find("Nesting has exceeded"); at != std::string::npos;
             at = log.find("Nesting has exceeded", at + 1))
            ++n;
        return n;
    };
    for (const auto &[depth, warned] : {std::pair{119, false}, std::pair{120, true}}) {
        ResetScriptForMission();
        std::string text;
        for (int i = 0; i < depth; ++i) text += "{\n";
        for (int i = 0; i < depth; ++i) text += "}\n";
        const size_t before = warnings();
        uint32_t s = ScriptTokenIndex(Compile(text));
        EXPECT_EQ(warnings() - before, warned ? 1u : 0u) << depth;
        // Every pair of the full stack is still patched.
        EXPECT_EQ(gScriptTokens[s].arg, gScriptTokenTop - 4 + 1) << depth;
    }
}

TEST_F(Compiler, LiteralsFollowEachOtherWithoutPadding) {
    // A three-byte string leaves the number after it at an odd offset; the
    // number reads back through the byte reader.
    const uint32_t top = gScriptDataTop;
    std::vector<ScriptToken> t = Statements(Compile("\"ab\" 1.5 \"c\"\n"));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].arg, top);
    EXPECT_EQ(t[1].arg, top + 3);
    EXPECT_EQ(t[2].arg, top + 7);
    EXPECT_EQ(ScriptDataFloat(t[1].arg), 1.5f);
    EXPECT_STREQ(ScriptDataText(t[2].arg), "c");
    EXPECT_EQ(gScriptDataTop, top + 9);

    // At the limit: seven bytes fit in the last seven, an eighth does not.
    ResetScriptForMission();
    gScriptDataTop = kScriptDataBytes - 7;
    std::vector<ScriptToken> last = Statements(Compile("\"ab\" 2\n"));
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(gScriptDataTop, kScriptDataBytes);
    EXPECT_EQ(ScriptDataFloat(last[1].arg), 2.0f);
    ResetScriptForMission();
    gScriptDataTop = kScriptDataBytes - 7;
    EXPECT_EQ(FatalText([] { Compile("\"abc\" 2\n"); }), "Data Buffer OVERFLOW !!!");
    EXPECT_LE(gScriptDataTop, kScriptDataBytes);
}

TEST_F(Compiler, LabelsAndBranchOperands) {
    EXPECT_EQ(FatalText([] { Compile("WAIT\n\nBRA ; no label\n"); }), "test.scr(3) : Branch has no label");
    EXPECT_EQ(FatalText([] { Compile("DECBNE Count\n"); }), "test.scr(1) : Branch has no label");
    std::vector<ScriptToken> t = Statements(Compile("DECBEQ Count Done\nDone:\n"));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].arg, SymIndex("Count"));
    EXPECT_EQ(t[2].arg, SymIndex("Done"));
}

TEST_F(Compiler, ALabelCannotTakeTheNameOfSomethingElse) {
    EXPECT_EQ(FatalText([] { Compile("SCORE:\n"); }), "test.scr(1) : label name in use: SCORE");
    int32_t window = 0;
    ScriptSymbol *s = AddScriptSymbol("Pane", &window, 4);
    s->value = &window;  // a declaration gave it a record
    EXPECT_EQ(FatalText([] { Compile("WAIT\nPane:\n"); }), "test.scr(2) : label name in use: Pane");
    EXPECT_EQ(window, 0);
    // A label met twice moves; a name first used as an operand becomes one.
    Compile("BRA Twice\nTwice:\nTwice:\nWAIT\n");
    EXPECT_EQ(gScriptTokens[ScriptLabelTarget(Sym("Twice"))].arg, 2u);  // the marker of line 3
}

TEST_F(Compiler, IncludedFilesCompileInline) {
    WriteText("vek/resource/scripts/missions/inc.scr", "WAIT\nWAIT\n");
    WriteText("vek/resource/scripts/gui/test0_x.gui", "RETURN\n");
    ScriptToken *start =
        Compile("#INCLUDE inc.scr\n  #INCLUDE missing.scr\n#INCLUDE test0_x.gui\nRETURN\n", "main.scr");
    std::vector<uint32_t> codes;
    for (const ScriptToken &t : Statements(start)) codes.push_back(t.code);
    EXPECT_EQ(codes, (std::vector<uint32_t>{Sc::Wait, Sc::Wait, Sc::Return}));
    std::vector<ScriptToken> t = Tokens(start);
    int ends = 0;
    for (const ScriptToken &x : t) ends += x.code == Sc::End;
    EXPECT_EQ(ends, 1);
    // The included file's markers name it; after it, and after an include
    // that did not open, the markers name the including file again.
    EXPECT_STREQ(ScriptNameAt(t[2].arg), "vek\\resource\\scripts\\missions\\inc.scr");
    EXPECT_EQ(t[6].code, Sc::Do);
    EXPECT_EQ(t[6].arg, 0u);
    EXPECT_STREQ(ScriptNameAt(t[7].arg), "main.scr");
    EXPECT_EQ(t[8].arg, 1u);
    EXPECT_STREQ(ScriptNameAt(t[9].arg), "main.scr");
}

TEST_F(Compiler, AFileThatIncludesItselfStops) {
    WriteText("vek/resource/scripts/missions/self.scr", "#INCLUDE self.scr\nWAIT\n");
    ScriptToken *start = TokeniseScript("self.scr");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(Statements(start).size(), (size_t)kScriptIncludeDepth);
}

TEST_F(Compiler, FilesAreFoundByTheirEnding) {
    WriteText("vek/resource/scripts/missions/m.scr", "WAIT\n");
    WriteText("vek/resource/scripts/ships/s.shp", "WAIT\n");
    WriteText("plain.ini", "WAIT\n");
    for (const char *name : {"m.scr", "s.shp", "plain.ini", "vek\\resource\\scripts\\missions\\m.scr"})
        EXPECT_NE(TokeniseScript(name), nullptr) << name;
    EXPECT_STREQ(ScriptNameAt(gScriptCurrentName), "vek\\resource\\scripts\\missions\\m.scr");
    EXPECT_EQ(TokeniseScript("absent.scr"), nullptr);
    EXPECT_EQ(TokeniseScript(("vek\\" + std::string(100, 'x') + ".scr").c_str()), nullptr);
}

TEST_F(Compiler, TheNameBufferFillsUp) {
    WriteText("vek/resource/scripts/missions/a_rather_long_mission_file_name.scr", "WAIT\n");
    std::string text = FatalText([] {
        for (int i = 0; i < 100; ++i) TokeniseScript("a_rather_long_mission_file_name.scr");
    });
    EXPECT_EQ(text, "Script Name Buffer Full!");
    EXPECT_LE(gScriptNameTop, kScriptNameBytes);
}

TEST_F(Compiler, BuffersAreCheckedBeforeEachWrite) {
    std::string strings;
    for (int i = 0; i < 400; ++i) strings += "\"" + std::string(240, 's') + "\"\n";
    EXPECT_EQ(FatalText([&] { Compile(strings); }), "Data Buffer OVERFLOW !!!");
    EXPECT_LE(gScriptDataTop, kScriptDataBytes);

    ResetScriptForMission();
    std::string waits;
    for (uint32_t i = 0; i < kScriptTokenCount / 3 + 1; ++i) waits += "WAIT\n";
    EXPECT_EQ(FatalText([&] { Compile(waits); }), "Script Buffer OVERFLOW !!!");
    EXPECT_LE(gScriptTokenTop, kScriptTokenCount);
}

TEST_F(Compiler, SyntaxErrorsNameFileLineAndSourceLine) {
    WriteText("vek/resource/scripts/missions/err.scr", "WAIT\n\tSET  X 1\nWAIT\n");
    uint32_t s = ScriptTokenIndex(TokeniseScript("err.scr"));
    EXPECT_EQ(FatalText([&] { ReportScriptSyntaxError("Bad SYMBOL Reference", s + 5); }),
              "vek\\resource\\scripts\\missions\\err.scr(2) :  SET  X 1 \n Bad SYMBOL Reference");
    EXPECT_EQ(FatalText([&] { ReportScriptSyntaxError("Unrecognized Token", s); }),
              "vek\\resource\\scripts\\missions\\err.scr(1) : WAIT \n Unrecognized Token");
    // Reported against the file it came from, not the file compiled before it.
    Compile("WAIT\n", "other.scr");
    uint32_t t = ScriptTokenIndex(TokeniseScript("err.scr"));
    EXPECT_EQ(FatalText([&] { ReportScriptSyntaxError("x", t); }),
              "vek\\resource\\scripts\\missions\\err.scr(1) : WAIT \n x");
}

TEST_F(Compiler, ExtraLoadFollowsTheLoadExtraLabel) {
    Compile("WAIT\n");
    EXPECT_EQ(gExtraLoad, 0);
    Compile("LoadExtra:\nWAIT\n");
    EXPECT_EQ(gExtraLoad, 1);
    EXPECT_EQ(ScriptSymbolInt(FindScriptSymbol("EXTRALOAD")), 1);
}

TEST_F(Compiler, BriefingPositions) {
    std::string text;
    for (int i = 0; i < kBriefingCount; ++i) text += "BRF_DECLARE\nBRF_BEGIN\nBRF_END\n";
    uint32_t s = ScriptTokenIndex(Compile(text));
    for (int b = 0; b < kBriefingCount; ++b) {
        uint32_t base = s + (uint32_t)b * 9;
        EXPECT_EQ(gBriefingDeclare[b], base);
        EXPECT_EQ(gBriefingBegin[b], base + 3);
        EXPECT_EQ(gBriefingEnd[b], base + 7);
    }
    EXPECT_EQ(gBriefingCompileNumber, kBriefingCount);
}

}  // namespace
