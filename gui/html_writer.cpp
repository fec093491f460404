// The page writer: pages in the document viewer's HTML subset, written
// byte for byte whatever the platform's line ends are.
#include <cstring>

#include "core/files.h"
#include "gui/html.h"

namespace {

void Write(FILE *page, const char *text) {
    if (page && text) std::fwrite(text, 1, std::strlen(text), page);
}

}  // namespace

FILE *htmlOpenPage(const char *name, const char *title, const char *heading) {
    FILE *page = name ? OpenGameFile(name, "wb") : nullptr;
    if (!page) return nullptr;
    Write(page, "<HTML>\n<HEAD>\n<TITLE>");
    Write(page, title);
    Write(page, "</TITLE>\n</HEAD>\n<BODY>\n<P ALIGN=center>\n<H1>");
    Write(page, heading);
    Write(page, "</H1>\n<HR>\n</P>\n<P>\n");
    return page;
}

void htmlWriteLine(FILE *page, const char *text) {
    Write(page, text);
    Write(page, "<BR>\n");
}

void htmlClosePage(FILE *page) {
    if (!page) return;
    Write(page, "<BR>\n<HR>\n<A HREF=\"vek\\resource\\text\\docs\\home.htm\">Back</A><BR>\n</P>\n</BODY>\n</HTML>\n");
    std::fclose(page);
}
