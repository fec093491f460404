// Films: Smacker playback stepped by the main loop, the film window of the
// intro list, and the MPEG player.
#pragma once

#include <cstdint>

// Starts a Smacker film on the current display; true when it started
// (VideoPlaying is then set).
bool PlayVideo(const char *path);
// One frame of the playing Smacker film.
void StepPlayingVideo();

// Plays a null-ended list of film names in the film window; false when the
// first cannot be opened.
bool VideoWindowPlayWait(const char *const *list);
// The next film of the list, or, after the last, the end of the intro.
void VideoWindowNext();
// Closes the film window's film (MCI_CLOSE); nothing without a window.
void VideoWindowClose();
bool VideoWindowVisible();
// The film window, null when there is none.
extern void *gMciWindow;

// Plays an MPEG film full screen and returns when it ends (at once when the
// file is missing or broken).
void PlayMpegFile(const char *path);
