# The time a launcher states as built (cmake -P): SOURCE_DATE_EPOCH when set, else the source's last commit time, else 0; written to FILE only when it changes, so that a change relinks and nothing else does.
#
# -DSOURCE=<the source folder> -DFILE=<the file that receives the seconds since 1970>
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
    # A tree without git (an exported copy) states 0, the same for every copy of it.
    set(epoch 0)
    find_program(git_program git)
    if(git_program)
        execute_process(COMMAND "${git_program}" -C "${SOURCE}" log -1 --format=%ct
                        RESULT_VARIABLE failed OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(NOT failed AND commit_time MATCHES "^[0-9]+$")
            set(epoch "${commit_time}")
        endif()
    endif()
endif()
# The PE header holds an unsigned 32-bit count of seconds.
string(LENGTH "${epoch}" digits)
if(NOT epoch MATCHES "^[0-9]+$" OR digits GREATER 10 OR epoch GREATER 4294967295)
    message(FATAL_ERROR "SOURCE_DATE_EPOCH \"${epoch}\" is not a time a launcher can state: "
                        "whole seconds since 1970, from 0 to 4294967295")
endif()
set(old "")
if(EXISTS "${FILE}")
    file(READ "${FILE}" old)
endif()
if(NOT old STREQUAL "${epoch}\n")
    file(WRITE "${FILE}" "${epoch}\n")
endif()
