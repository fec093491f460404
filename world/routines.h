// Other object routines.
#pragma once

void dunRandomAmbientEvent();
