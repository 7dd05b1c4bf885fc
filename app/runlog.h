// What a run logs about itself: the launcher, its command line, the machine, the installer.
#pragma once

// The launcher's version (from its version resource), its command line, the system's
// platform and version, and the temporary, Windows and system folders.
void LogLauncherStart();
// Where msi.dll was loaded from, or why it could not be.
void LogInstallerLibrary();
