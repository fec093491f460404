// A window of its own that shows film frames: the film window of the intro
// list, and the modal MPEG player.
#pragma once

#include <cstdint>

struct OsFilm;
struct OsFilmWindow;

// A window at (x, y) of width x height; with `fullScreen` it covers the
// desktop. Null when no window can be made.
OsFilmWindow *osFilmWindowOpen(const char *title, int x, int y, int width, int height, bool fullScreen);
void osFilmWindowClose(OsFilmWindow *window);
bool osFilmWindowVisible(const OsFilmWindow *window);
// Shows the film's last decoded frame, scaled to `zoomPercent` of its size
// and centred (0: fitted to the window).
void osFilmWindowShow(OsFilmWindow *window, const OsFilm *film, int zoomPercent);

enum OsFilmEnd { OS_FILM_FINISHED, OS_FILM_ESCAPE, OS_FILM_QUIT, OS_FILM_FAILED };
// Plays a film full screen in its own window until it ends, Escape is
// pressed or the program is asked to quit (the quit is left waiting for the
// game). A film that cannot be opened or decoded ends at once.
OsFilmEnd osFilmPlayModal(const char *hostPath);
// The clock (microseconds) the modal player paces its frames by; null
// gives back the steady film clock. Tests run films on a clock of their own.
void osFilmModalSetClock(int64_t (*micros)());
