// Target build only: the one application object.
#include "app/patchapp.h"

static CPatchApp theApp;
