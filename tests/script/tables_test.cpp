// The keyword, key-name and folder tables, and the number scanner.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <map>
#include <set>
#include <string>

#include "script/tokens.h"

namespace {

TEST(ScriptTables, KeywordTableCountsAndDoubleSpellings) {
    int rows = 0;
    std::map<uint32_t, std::vector<std::string>> byCode;
    for (const ScriptWord *w = ScriptKeywordTable; w->text; ++w, ++rows) byCode[w->code].push_back(w->text);
    EXPECT_EQ(rows, 594);
    EXPECT_EQ(byCode.size(), 585u);
    std::set<uint32_t> doubles;
    for (auto &[code, names] : byCode)
        if (names.size() > 1) doubles.insert(code);
    EXPECT_EQ(doubles, (std::set<uint32_t>{244, 284, 297, 334, 335, 336, 420, 564, 565}));
    std::set<uint32_t> missing;
    for (uint32_t c = 2; c <= 608; ++c)
        if (!byCode.count(c)) missing.insert(c);
    EXPECT_EQ(missing, (std::set<uint32_t>{4, 21, 167, 173, 202, 306, 326, 350, 359, 373, 391, 403, 409, 416, 436,
                                           499, 552, 561, 589, 590, 591, 592}));
}

TEST(ScriptTables, KeywordRows) {
    const std::pair<const char *, uint32_t> rows[] = {
        {"LBM2PALETTE", 2}, {"3DP", 24},        {"2DMODEL", 30},        {"WEPTARGET", 244},   {"TARGET", 244},
        {"NEWGROUP", 284},  {"SN_INDIE", 335},  {"GATTLEBEAMCANN", 420}, {"DO", 476},         {"{", 494},
        {"}", 495},         {"WAIT_IF", 564},   {"WAIT_UNTIL_NOT", 565}, {"GERMAN", 608},     {"do", 0},
        {"Wait", 0},        {"", 0},
    };
    for (auto &[word, code] : rows) EXPECT_EQ(LookupScriptKeyword(word), code) << word;
    EXPECT_STREQ(ScriptKeywordText(244), "TARGET");
    EXPECT_EQ(ScriptKeywordText(4), nullptr);
}

TEST(ScriptTables, KeyNameTable) {
    int rows = 0, commands = 0, keys = 0;
    const ScriptWord *row86 = nullptr;
    for (const ScriptWord *w = ScriptKeyNameTable; w->text; ++w, ++rows) {
        if (rows == 86) row86 = w;
        std::string name = w->text;
        if (name.rfind("R_", 0) == 0) ++commands;
        if (name.rfind("KEY_", 0) == 0) {
            ++keys;
            EXPECT_TRUE(w->code >= 1 && w->code <= 255) << name;
        }
    }
    EXPECT_EQ(rows, 197);
    EXPECT_EQ(commands, 106);
    EXPECT_EQ(keys, 91);
    ASSERT_NE(row86, nullptr);
    EXPECT_STREQ(row86->text, "R_DESTROY_CONTACT");
    const std::pair<const char *, uint32_t> rows2[] = {{"R_THR_INC", 20}, {"R_BODY_COUNT", 211}, {"KEY_PAD_8", 72},
                                                       {"KEY_UP", 72},    {"KEY_ESC", 1},        {"KEY_255", 255},
                                                       {"KEY_CB3", 131},  {"key_esc", 0}};
    for (auto &[word, code] : rows2) EXPECT_EQ(LookupKeyName(word), code) << word;
}

TEST(ScriptTables, FolderTable) {
    int rows = 0;
    for (const ScriptFolder *f = ScriptFolderTable; f->ending; ++f) ++rows;
    EXPECT_EQ(rows, 7);
    EXPECT_STREQ(ScriptFolderTable[3].ending, "scr");
    EXPECT_STREQ(ScriptFolderTable[3].folder, "vek\\resource\\scripts\\missions");
}

TEST(ScriptNumbers, OnlyDecimalFormsAreNumbers) {
    struct Case {
        const char *word;
        bool number;
        float value;
    };
    const Case cases[] = {
        {"12", true, 12},         {"12abc", true, 12},    {"-3.5e2", true, -350}, {".5", true, 0.5f},
        {"5.", true, 5},          {"+7", true, 7},        {"1e", true, 1},        {"2E+1x", true, 20},
        {"0x10", true, 0},        {"1e999", true, FLT_MAX}, {"-1e999", true, -FLT_MAX}, {"1e-999", true, 0},
        {"Inferno", false, 0},    {"inf", false, 0},      {"NAN1", false, 0},     {"nan", false, 0},
        {"Infinity", false, 0},   {"-", false, 0},        {".", false, 0},        {"e5", false, 0},
        {"+.e1", false, 0},       {"", false, 0},
    };
    for (const Case &c : cases) {
        float v = -1;
        EXPECT_EQ(ScanScriptNumber(c.word, &v), c.number) << c.word;
        if (c.number) {
            EXPECT_EQ(v, c.value) << c.word;
        }
    }
}

TEST(ScriptNumbers, TruncationIsHeldToTheIntegerRange) {
    EXPECT_EQ(ScriptTrunc(2.9), 2);
    EXPECT_EQ(ScriptTrunc(-2.9), -2);
    EXPECT_EQ(ScriptTrunc(1e20), INT32_MAX);
    EXPECT_EQ(ScriptTrunc(-1e20), INT32_MIN);
    EXPECT_EQ(ScriptTrunc(std::nan("")), 0);
}

}  // namespace
