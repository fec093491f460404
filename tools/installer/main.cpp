#include "tools/installer/dialog.h"
#include "tools/installer/launcher.h"

int main() { return InitInstance(RunDialog); }
