// The HUD's element list and its helpers.
#pragma once

// Bearing in degrees of the components (a, b): 90 - atan(b / a) in degrees,
// or -atan(b / a) in degrees - 90 when a < 0.
double hudBearingDegrees(double a, double b);
