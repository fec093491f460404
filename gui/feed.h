// The typed message feed and the bar gauges.
#pragma once

#include <cstdint>

struct BitmapFont;

void guiResetTextFeed();
void guiFreeTextFeed();
void guiPostFeedText(const char *text, int colourSet);
// Types the next character; false once the feed is drained.
bool guiTypeNextChar();
void guiDrawTextFeed(int x, int y, int width, int height);
// The feed's font.
extern BitmapFont *gFeedFont;

struct BarGauge {
    int16_t x, y, width, height;
    float value;
    float maximum;
};
void guiDrawBarSegmented(BarGauge *bar);

// The message line: a short status text shown for a time.
void guiDisplayMessage(const char *text, int time);
