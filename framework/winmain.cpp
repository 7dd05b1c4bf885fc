// Target build only: the standard entry of a GUI program without a window.
#include "framework/winapp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return FwRunApp(); }
