// The launcher's own texts for rows a configuration may lack: the usage of /? and the restart question; the
// shipped definition takes them as its defaults.
#pragma once

// The question at the end of a run that needs a restart (row IDS_RESTART_QUESTION).
#define SPLAUNCH_RESTART_QUESTION "The computer must be restarted to finish the update. Restart now?"

// The usage of /? (row IDS_USAGE); "%s" stands for the launcher's file name as it was started.
// The text keeps its lines as they show in the box.
// clang-format off
#define SPLAUNCH_USAGE_TEXT \
    "%s [/q | /qn] [/l <file>] [/norestart | /forcerestart] [/wait <seconds>] [/plan] [/e [<path>]] [/?]\r\n\r\n\
(nothing) - apply the patch to every configured product that is installed\r\n\
/q - show no message box\r\n\
/qn or /quiet - as /q, and the installer shows nothing either\r\n\
/l <file> or /log <file> - add a log to <file>, and the installer's own logs beside it\r\n\
/norestart - never restart the computer, never ask\r\n\
/forcerestart - restart the computer without asking when the update needs it\r\n\
/wait <seconds> - wait at most this long for another installation to end (default 600)\r\n\
/plan - only report what a run would do; change nothing\r\n\
/e [<path>] - only write the patch package to <path>, or to a new temporary file\r\n\
/? or /help - show this text\r\n\r\n\
Exit codes:\r\n\
0 - nothing failed (or every product has the update already)\r\n\
8 - the run ran out of memory\r\n\
101 to 104 - a resource of the launcher could not be read\r\n\
105 to 108 - the package could not be written to a file\r\n\
307 - no configured product is installed\r\n\
308 - an installed version is not one the patch accepts\r\n\
1602 - nothing failed, but the installer was cancelled\r\n\
1618 - another installation kept the installer busy: try again later\r\n\
1622 - the log could not be created\r\n\
1641 - nothing failed; the launcher restarts the computer\r\n\
3010 - nothing failed; a restart is needed to finish\r\n\
any other - the installer's result for a patch that failed"
// clang-format on
