// Asking the GUI to redraw.
#pragma once

// The whole screen is redrawn on the GUI's next frame.
void guiMarkRedraw();
