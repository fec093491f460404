// Bitmap fonts: loading, building and writing.
#pragma once

struct BitmapFont;

BitmapFont *LoadGlyphFont(BitmapFont *font, const char *folder);
bool fontMake(const char *name, BitmapFont *font);
