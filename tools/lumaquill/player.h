// The intro film player: plays the disc's intro film full screen through the
// film player the game's own start-up film uses, and ends with it.
#pragma once

// The film, relative to the current folder.
inline constexpr char kIntroFilm[] = "video\\intro.mpg";

// Plays `file` (a game path) until it ends, Escape is pressed or the window
// is closed; 0 then. A film that cannot be opened or decoded ends at once
// with 1, and so does a machine without any video.
int PlayMovie(const char *file);

// The whole program: the intro film, then the exit code.
int PlayerWinMain();
