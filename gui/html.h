// The in-game document viewer's page writer: pages in the viewer's own small
// HTML subset.
#pragma once

#include <cstdio>

// Creates the page with its title and heading; null when it cannot be
// created.
FILE *htmlOpenPage(const char *name, const char *title, const char *heading);
void htmlWriteLine(FILE *page, const char *text);
void htmlClosePage(FILE *page);
