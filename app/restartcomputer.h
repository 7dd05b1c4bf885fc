// The one restart of a run: decided once the run is over, by the switches or the user, and started by the launcher.
#pragma once

// Whether to restart the computer now: only when an installer call of the run needs it;
// never with /norestart, always with /forcerestart, else the user's answer to the question
// (none under /q: the caller restarts when it reads the exit code).
bool ChooseRestart();
// Asks the system to restart (with the shutdown privilege on the NT family). FALSE, with
// the reason logged, when it cannot.
bool RestartComputer();
