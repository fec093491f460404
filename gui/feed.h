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

extern uint8_t gFeedShowing;       // the text feed shows text
extern uint8_t gFeedAltPlacement;  // the feed's alternate placement in the main view
