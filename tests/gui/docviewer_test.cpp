// The document viewer's layout and draw passes, links, scrolling, pictures
// and films, and the page writer's bytes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../RES/res_helpers.h"
#include "common/temp_dir.h"
#include "gui/docviewer.h"
#include "gui/gui.h"
#include "gui/html.h"
#include "gui_fixture.h"
#include "os/paths.h"
#include "platform/smack.h"
#include "platform/video.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"

namespace guitest {
namespace {

using restest::WriteBytes;
using restest::WriteText;

int64_t gNow;
int64_t AlwaysDue() { return gNow += 1000000; }

// Body glyphs are 3 wide and 6 apart (line 8); headings 8 apart (line 12);
// links are drawn in colour 200.
struct Fonts {
    BlockFont body, heading, link;
    Fonts() {
        for (int c = 0; c < 256; ++c) heading.font.advance[c] = 8;
        heading.font.lineHeight = 12;
        std::memset(link.ink, 200, sizeof link.ink);
    }
};

class DocViewerTest : public GuiTest {
protected:
    ruvotest::TempDir dir;
    Fonts fonts;
    const ClipRect rect{100, 50, 339, 249};
    void SetUp() override {
        GuiTest::SetUp();
        resmanInit();
        InitializeScriptSystem();
        const struct {
            const char *name;
            BlockFont *font;
        } named[] = {{"ConsFont", &fonts.body}, {"ConsFont1", &fonts.heading}, {"ConsFont2", &fonts.link}};
        for (const auto &n : named) ScriptSetSymbolThing(AddScriptSymbol(n.name, nullptr, 0), &n.font->handle);
        docResetViewer();
        gCurrentMission = 2;
        gLanguage = 0;
        SmackSetClock(AlwaysDue);
    }
    void TearDown() override {
        docResetViewer();
        FreeScriptBuffers();
        resmanShutdown();
        SmackSetClock(nullptr);
        VideoPlaying = 0;
        GuiTest::TearDown();
    }
    static void Page(const char *name, const std::string &text) {
        WriteText(std::string("vek/resource/text/docs/") + name, text);
        osFlushPathCache();
    }
    void Draw() { docDrawViewer(&canvas.s, &rect); }
    void Open(const char *name) {
        std::snprintf(gDocViewer.requested, sizeof gDocViewer.requested, "%s", name);
        Draw();
    }
    void Click(int x, int y) {
        gMouse.x = x;
        gMouse.y = y;
        docFollowLink();
    }
};

const char kFixture[] =
    "<html><title>T</title><h1>Head</h1><p>one two <a href=\"next.htm\">link</a></p><hr><br>"
    "three<!-- a comment -->four</html>";

TEST_F(DocViewerTest, LayoutOfTheFixturePage) {
    Page("home.htm", kFixture);
    docOpenHome();
    EXPECT_EQ(gDocViewerOpen, 1);
    Draw();
    EXPECT_STREQ(gDocViewer.loaded, "home.htm");
    ASSERT_EQ(gDocViewer.linkCount, 1);
    const DocLink &l = gDocViewer.links[0];
    EXPECT_STREQ(l.target, "next.htm");
    // "one two " ends at 152 on the paragraph's line, 106; "link" is 4 x 6
    // and a blank on.
    EXPECT_EQ(l.x0, 152);
    EXPECT_EQ(l.y0, 98);
    EXPECT_EQ(l.x1, 182);
    EXPECT_EQ(l.y1, 106);
    EXPECT_EQ(gDocViewer.height, 130 - 50 - 12);
    // The title is not drawn; the rule is, in 255, inside the window.
    EXPECT_EQ(canvas.At(112 + 1, 114), 255u);
    EXPECT_EQ(canvas.At(339 - 12 - 1, 114), 255u);
    EXPECT_EQ(canvas.At(104, 58), 0u);
    // The link in its own font's colour, between its ends.
    EXPECT_EQ(canvas.At(153, 104), 200u);
    // Nothing outside the window.
    int outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (x < rect.left || x > rect.right || y < rect.top || y > rect.bottom) outside += canvas.At(x, y) != 0;
    EXPECT_EQ(outside, 0);
}

TEST_F(DocViewerTest, TagsInAnyCaseAndWordWrap) {
    const struct {
        const char *page;
        int16_t y;  // where the cursor ends
    } cases[] = {
        {"<BR>", 74}, {"<br>", 74}, {"<Br>", 74}, {"<P>x", 74}, {"<unknown attr=\"1\">x", 66}, {"<H2></H2>", 98},
    };
    int n = 0;
    for (const auto &c : cases) {
        const std::string name = "t" + std::to_string(n++) + ".htm";
        Page(name.c_str(), c.page);
        Open(name.c_str());
        EXPECT_EQ(gDocViewer.height, c.y - 50 - 12) << c.page;
    }
    // A word that would come within 4 pixels of the right edge starts a new
    // line; one wider than the window is drawn past the edge on its own line.
    std::string words;
    for (int i = 0; i < 11; ++i) words += "abc ";  // 24 pixels each with the blank
    Page("w.htm", words + std::string(60, 'z'));
    Open("w.htm");
    // The tenth starts at 104 + 9 x 24 = 320 and needs 12: 332 stays below
    // 335; the eleventh, at 344, goes on a new line, and so does the long one.
    EXPECT_EQ(gDocViewer.height, 66 + 8 + 8 - 50 - 12);
}

TEST_F(DocViewerTest, LinkValuesAndLimits) {
    std::string page = "<a href=\"quoted.htm\">a</a><a href=abcd>b</a><a href=abc>c</a>"
                       "<a href=\"crew\\vosk.htm\">v</a>";
    for (int i = 0; i < 60; ++i) page += "<a href=\"x" + std::to_string(i) + ".htm\">n</a>";
    Page("links.htm", page);
    Open("links.htm");
    ASSERT_EQ(gDocViewer.linkCount, kDocLinks);
    EXPECT_STREQ(gDocViewer.links[0].target, "quoted.htm");
    EXPECT_STREQ(gDocViewer.links[1].target, "bc");   // an unquoted value loses its ends
    EXPECT_STREQ(gDocViewer.links[2].target, "abc");  // three characters keep them
    EXPECT_EQ(gDocViewer.links[3].disabled, 0);
    EXPECT_STREQ(gDocViewer.links[47].target, "x43.htm");  // the rest are not kept
    // The crew page is closed in the first mission and the bonus missions.
    for (int mission : {1, 90}) {
        gCurrentMission = mission;
        Open("home.htm");
        Open("links.htm");
        EXPECT_EQ(gDocViewer.links[3].disabled, 1) << mission;
    }
    // A long target is cut to its field.
    Page("long.htm", "<a href=\"" + std::string(300, 'q') + "\">q</a>");
    Open("long.htm");
    EXPECT_EQ(std::strlen(gDocViewer.links[0].target), kDocNameBytes - 1);
}

TEST_F(DocViewerTest, ClicksFollowLinksStrictlyInsideAndAfterTheScroll) {
    Page("home.htm", kFixture);
    Page("next.htm", "<p>next</p>");
    docOpenHome();
    Draw();
    Click(152, 100);  // on the edge
    EXPECT_STREQ(gDocViewer.requested, "home.htm");
    gDocViewer.links[0].disabled = 1;
    Click(160, 100);
    EXPECT_STREQ(gDocViewer.requested, "home.htm");
    gDocViewer.links[0].disabled = 0;
    gDocViewer.scroll = 4;
    Click(160, 103);  // 107 on the page: below the link
    EXPECT_STREQ(gDocViewer.requested, "home.htm");
    Click(160, 100);
    EXPECT_STREQ(gDocViewer.requested, "next.htm");
    EXPECT_EQ(gDocViewer.lastLink[0], 152);
    Draw();
    EXPECT_STREQ(gDocViewer.loaded, "next.htm");
    EXPECT_STREQ(gDocViewer.previous, "home.htm");
}

TEST_F(DocViewerTest, ScrollArrowsAndTheirLimits) {
    std::string page;
    for (int i = 0; i < 40; ++i) page += "line<br>";
    Page("long.htm", page);
    Open("long.htm");
    const int height = gDocViewer.height;
    ASSERT_GT(height, 200);
    EXPECT_EQ(gDocViewer.upArrow, 0);
    EXPECT_EQ(gDocViewer.downArrow, 1);
    EXPECT_EQ(canvas.At(339 - 16, 249 - 16), 64u);  // the down chevron's point
    KeyDownTable[KEY_LEFT_BUTTON] = 0xFF;
    gMouse.x = 339 - 16;
    gMouse.y = 249 - 19;
    for (int frame = 0; frame < 100; ++frame) {
        docScrollArrows();
        Draw();
    }
    // Four pixels a frame until the arrow goes at the page's end.
    EXPECT_EQ(gDocViewer.scroll + (249 - 50 + 1) >= height, true);
    EXPECT_EQ(gDocViewer.downArrow, 0);
    EXPECT_EQ(gDocViewer.upArrow, 1);
    EXPECT_EQ(gDocViewer.scroll % 4, 0);
    // The up arrow brings it back; the offset never goes below 0.
    gMouse.y = 50 + 13;
    for (int frame = 0; frame < 100; ++frame) {
        docScrollArrows();
        Draw();
    }
    EXPECT_EQ(gDocViewer.scroll, 0);
    KeyDownTable[KEY_LEFT_BUTTON] = 0;
    docScrollBy(10000);
    Draw();
    EXPECT_EQ(gDocViewer.scroll, height);
}

TEST_F(DocViewerTest, PicturesAndFilms) {
    WriteBytes("vek/resource/text/docs/pic.pcx", restest::PcxFile(20, 30, 1, std::vector<uint8_t>(600, 9)));
    const char *root = std::getenv("RUVO_DATA");
    std::filesystem::copy_file(std::string(root ? root : "data") + "/vek/resource/text/docs/patrol.smk",
                               "vek/resource/text/docs/patrol.smk");
    Page("home.htm", "<img src=\"pic.pcx\" size=\"20\"><a href=\"patrol.smk\">film</a><img src=\"none.pcx\">");
    docOpenHome();
    Draw();
    // The picture moves the cursor down by its height and a line.
    EXPECT_EQ(gDocViewer.links[0].y1, 66 + 30 + 8);
    EXPECT_EQ(canvas.At(104 + 5, 66 + 5), 9u);
    ASSERT_EQ(gDocViewer.mediaCount, 1);  // the missing picture has no entry
    Draw();
    EXPECT_EQ(gDocViewer.mediaCount, 1);  // laid out again: the same entry
    // The film link shows the film in the window until it ends, then the
    // page comes back.
    gMouse.x = 110;
    gMouse.y = 66 + 30 + 8 - 2;
    docFollowLink();
    EXPECT_STREQ(gDocViewer.requested, "patrol.smk");
    Draw();
    EXPECT_EQ(gDocViewer.mediaShown, 1);
    int frames = 1;
    for (; frames < 50 && gDocViewer.mediaShown >= 0; ++frames) Draw();
    EXPECT_GT(frames, 3);
    EXPECT_EQ(gDocViewer.mediaShown, -1);
    Draw();
    EXPECT_STREQ(gDocViewer.loaded, "home.htm");
    // A click ends it earlier.
    Open("patrol.smk");
    ASSERT_EQ(gDocViewer.mediaShown, 1);
    docFollowLink();
    EXPECT_EQ(gDocViewer.mediaShown, -1);
    Draw();
    EXPECT_STREQ(gDocViewer.loaded, "home.htm");
    // The mission's end takes the entries with its resources.
    docResetMedia();
    EXPECT_EQ(gDocViewer.mediaCount, 0);
}

TEST_F(DocViewerTest, MissingPageKeepsTheOldText) {
    Page("home.htm", kFixture);
    docOpenHome();
    Draw();
    const int height = gDocViewer.height;
    Open("missing.htm");
    EXPECT_STREQ(gDocViewer.loaded, "missing.htm");
    EXPECT_EQ(gDocViewer.linkCount, 0);
    EXPECT_EQ(gDocViewer.height, height);
    EXPECT_EQ(canvas.At(112 + 1, 114), 255u);  // the old page is still drawn
    // Browsing back and forth for long costs the script system nothing.
    for (int i = 0; i < 500; ++i) Open(i % 2 ? "home.htm" : "missing.htm");
    EXPECT_NE(TokeniseScript("vek\\resource\\text\\docs\\home.htm"), nullptr);
}

TEST_F(DocViewerTest, LongPagesAreCut) {
    Page("big.htm", std::string(20000, 'a') + "<a href=\"late.htm\">late</a>");
    Open("big.htm");
    EXPECT_EQ(gDocViewer.pageSize, kDocPageBytes);
    EXPECT_EQ(gDocViewer.linkCount, 0);
}

TEST_F(DocViewerTest, WriterBytes) {
    FILE *page = htmlOpenPage("log.htm", "TEST", "Log file test");
    ASSERT_NE(page, nullptr);
    htmlWriteLine(page, "0:05 First line");
    htmlWriteLine(page, "0:10 Second");
    htmlClosePage(page);
    std::ifstream in("log.htm", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(),
              "<HTML>\n<HEAD>\n<TITLE>TEST</TITLE>\n</HEAD>\n<BODY>\n<P ALIGN=center>\n<H1>Log file test</H1>\n<HR>\n</P>\n"
              "<P>\n0:05 First line<BR>\n0:10 Second<BR>\n<BR>\n<HR>\n"
              "<A HREF=\"vek\\resource\\text\\docs\\home.htm\">Back</A><BR>\n</P>\n</BODY>\n</HTML>\n");
    EXPECT_EQ(htmlOpenPage("nofolder/x.htm", "a", "b"), nullptr);
    htmlWriteLine(nullptr, "x");
    htmlClosePage(nullptr);
}

}  // namespace
}  // namespace guitest
