// Reading the switches from the runtime's split command line.
#pragma once

// Sets the switches' globals from argv[1..argc-1]; the globals are reset first. Switches
// match whole arguments in any case; unknown arguments are ignored.
void ReadCommandLine(int argc, char** argv);
