#include <fstream>
#include <string>

#include "common/temp_dir.h"
#include "render/fmt/fmt.h"
#include "render/fmt/lexer.h"
#include "vt_fixture.h"

using namespace vttest;

namespace {

std::vector<std::string> errors;
void recordError(vt_lexer *l, const char *message) {
    char pos[64];
    errors.push_back(std::string(VtLexerPosition(l, pos, sizeof pos)) + message);
}

vt_lexer_keyword keywords[] = {{"true", 200}, {"end", 201}};

// One token as text: kind and value.
std::string describe(vt_lexer *l) {
    const vt_lexer_token &t = l->current;
    switch (t.id) {
    case VT_T_EOF: return "eof";
    case VT_T_ERROR: return std::string("error ") + t.string;
    case VT_T_IDENT: return std::string("ident ") + t.string;
    case VT_T_STRING: return std::string("string ") + t.string;
    case VT_T_INTEGER: return "int " + std::to_string(t.integer);
    case VT_T_REAL: {
        char buf[64];
        snprintf(buf, sizeof buf, "real %g", double(t.real));
        return buf;
    }
    default:
        if (t.id >= VT_T_KEYWORD)
            return "keyword " + std::to_string(t.id);
        return std::string("char ") + char(t.id);
    }
}

} // namespace

class VtLexer : public VtTest {
protected:
    vt_lexer *l = nullptr;
    void SetUp() override {
        VtTest::SetUp();
        errors.clear();
        l = VtLexerAllocate(keywords, 2);
        VtLexerErrorSet(l, recordError);
    }
    void TearDown() override {
        VtLexerFree(l);
        VtTest::TearDown();
    }
    std::vector<std::string> tokens(const char *text) {
        VtLexerPushString(l, text, nullptr);
        std::vector<std::string> out;
        for (VtLexerAdvance(l); l->current.id != VT_T_EOF; VtLexerAdvance(l))
            out.push_back(describe(l));
        return out;
    }
};

using Tokens = std::vector<std::string>;

TEST_F(VtLexer, NumberTokens) {
    struct Case {
        const char *text;
        Tokens expect;
    } cases[] = {
        {"0x1F", {"int 31"}},
        {"017", {"int 15"}},
        {"08", {"int 0"}},
        {"12ab", {"int 12"}},
        {"1e5", {"int 1"}},
        {"1.5e3", {"real 1500"}},
        {"1.5e-3", {"real 1.5", "char -", "int 3"}},
        {".5", {"char .", "int 5"}},
        {"0x1.8", {"real 0"}},
        {"1.2.3", {"real 1.2"}},
        {"1.0e99", {"real inf"}},
        {"3.", {"real 3"}},
        {"99999999999", {"int 2147483647"}},
        {"-7", {"char -", "int 7"}},
        {"3 4", {"int 3", "int 4"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tokens(c.text), c.expect) << c.text;
}

TEST_F(VtLexer, WordsKeywordsAndCharacters) {
    EXPECT_EQ(tokens("tRUE True _a1 end,x=\"s t\"\x1a\x01"),
              (Tokens{"keyword 200", "ident True", "ident _a1", "keyword 201", "char ,", "ident x", "char =",
                      "string s t", "error Unexpected character"}));
    std::string word(300, 'w');
    Tokens t = tokens(word.c_str());
    ASSERT_EQ(t.size(), 2u) << "a word is cut at 255 characters";
    EXPECT_EQ(t[0].size(), 6 + 255u);
}

TEST_F(VtLexer, StringsAndLines) {
    std::string ok = "\"" + std::string(255, 's') + "\"";
    EXPECT_EQ(tokens(ok.c_str()), Tokens{"string " + std::string(255, 's')});
    std::string tooLong = "\"" + std::string(256, 's') + "\"";
    EXPECT_EQ(tokens(tooLong.c_str())[0], "error Unterminated string");

    errors.clear();
    VtLexerPushString(l, "a\nb\n\"open\nnext", "text.txt");
    VtLexerAdvance(l);
    VtLexerAdvance(l);
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "error Unterminated string");
    EXPECT_EQ(errors, Tokens{"text.txt:4 Unterminated string"});
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "ident next");
    char pos[32];
    EXPECT_STREQ(VtLexerPosition(l, pos, sizeof pos), "text.txt:4 ");
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "eof");
}

TEST_F(VtLexer, CommentsAndNestedSources) {
    ruvotest::TempDir dir;
    std::ofstream("in.txt") << "outer1 # comment\nouter2\n";
    VtLexerCommentSet(l, '#');
    ASSERT_EQ(VtLexerPushFile(l, "in.txt"), VT_E_OK);
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "ident outer1");
    VtLexerPushString(l, "inner", "str");
    // The pushed string's first character is read; the file's current token
    // stays until the next advance.
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "ident inner");
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "ident outer2");
    VtLexerAdvance(l);
    EXPECT_EQ(describe(l), "eof");
    EXPECT_EQ(VtLexerPushFile(l, "missing.txt"), VT_E_FAIL);

    // A newline as comment character comments out each following line.
    VtLexerCommentSet(l, '\n');
    EXPECT_EQ(tokens("a\nb\nc"), Tokens{"ident a"});
}

TEST_F(VtLexer, TokenErrorReportsAndSkipsToExpected) {
    struct Case {
        vt_int_32 expected;
        const char *message;
    } cases[] = {
        {VT_T_EOF, "expected end of file"}, {VT_T_IDENT, "expected an identifier"},
        {VT_T_STRING, "expected a string"},  {VT_T_INTEGER, "expected an integer"},
        {VT_T_REAL, "expected a real number"}, {']', "expected ']'"},
        {7, "expected unknown token 7"},      {201, "expected 'end'"},
        {250, "expected unknown keyword 250"},
    };
    for (const Case &c : cases) {
        errors.clear();
        VtLexerPushString(l, "( 1 ] end 2.5 \"s\" x", nullptr);
        VtLexerAdvance(l);
        VtLexerTokenError(l, c.expected);
        EXPECT_EQ(errors, Tokens{c.message});
        while (l->current.id != VT_T_EOF)
            VtLexerAdvance(l);
    }
    VtLexerPushString(l, "a b ] c", nullptr);
    VtLexerAdvance(l);
    VtLexerTokenError(l, ']');
    EXPECT_EQ(l->current.id, ']');
}

TEST_F(VtLexer, Parsers) {
    VtLexerPushString(l, "-1.5 2 +3 x 7", nullptr);
    VtLexerAdvance(l);
    EXPECT_EQ(VtParseFixed(l), -98304);
    EXPECT_EQ(VtParseFixed(l), 131072);
    EXPECT_EQ(VtParseInteger(l), 3);
    errors.clear();
    EXPECT_EQ(VtParseFloat(l), 0.0f);
    EXPECT_EQ(errors, Tokens{"expecting a float"});
    EXPECT_EQ(VtParseInteger(l), 7) << "the bad token was skipped";

    float v[3] = {};
    VtLexerPushString(l, "[1,2] [1,2,3,4] [] [0.5]", nullptr);
    VtLexerAdvance(l);
    EXPECT_EQ(VtParseVectorFloat(l, v, 3), 2);
    EXPECT_EQ(v[1], 2.0f);
    errors.clear();
    EXPECT_EQ(VtParseVectorFloat(l, v, 3), 4);
    EXPECT_EQ(errors, Tokens{"expected ']'"});
    EXPECT_EQ(VtParseVectorFloat(l, v, 0), 0);
    vt_fixed x[1];
    EXPECT_EQ(VtParseVectorFixed(l, x, 1), 1);
    EXPECT_EQ(x[0], 32768);

    vt_fixed m[6];
    VtLexerPushString(l, "[[1,2,3],[4,5,6]]", nullptr);
    VtLexerAdvance(l);
    EXPECT_EQ(VtParseMatrixFixed(l, m, 3, 2), 2);
    EXPECT_EQ(m[5], 6 << 16);
    EXPECT_EQ(l->current.id, VT_T_EOF);
}

TEST(VtFormat, BoundedFormatting) {
    char buf[8];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(VtSprintfN(buf, 4, "%s", "longer"), 3);
    EXPECT_STREQ(buf, "lon");
    EXPECT_EQ(buf[4], 'x');
    EXPECT_EQ(VtSprintfN(buf, 8, "%d", 42), 2);
    char big[32];
    EXPECT_EQ(VtSprintf(big, "%s-%d", "a", 1), 3);
    int a = 0;
    char word[8];
    EXPECT_EQ(VtSScanf("12 ab", "%d %7s", &a, word), 2);
    EXPECT_EQ(a, 12);

    testing::internal::CaptureStdout();
    std::string huge(2000, 'y');
    EXPECT_EQ(VtLogPrintf("%s", huge.c_str()), 511);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(511, 'y'));
}
