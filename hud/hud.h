// The head-up display's element list.
#pragma once

// Empties the list of HUD elements (world reset).
void hudClearList();
