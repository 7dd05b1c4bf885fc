# Names and signs a linked launcher (cmake -P): the file its definition names, beside the build's other outputs, signed when a certificate is given.
#
# -DLINKED=<the linked launcher> -DFOLDER=<where the named one goes> [-DINFO=<the definition's launcher.cmake>]
# -DSIGN=<scripts/sign.sh> [-DCERT=... -DKEY=... -DPASSWORD_FILE=... -DTIMESTAMP_URL=... -DCA=...]
set(SPLAUNCH_LAUNCHER_FILE "splaunch.exe")
set(SPLAUNCH_SIGN_PROGRAM "")
set(SPLAUNCH_SIGN_URL "")
if(INFO)
    include("${INFO}")
endif()
set(named "${FOLDER}/${SPLAUNCH_LAUNCHER_FILE}")
if(NOT named STREQUAL LINKED)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${LINKED}" "${named}" RESULT_VARIABLE copied)
    if(NOT copied EQUAL 0)
        message(FATAL_ERROR "${LINKED} could not be copied to ${named}")
    endif()
endif()
if(CERT)
    execute_process(COMMAND bash "${SIGN}" "${named}" "${CERT}" "${KEY}" "${PASSWORD_FILE}" "${TIMESTAMP_URL}" "${CA}"
                            "${SPLAUNCH_SIGN_PROGRAM}" "${SPLAUNCH_SIGN_URL}"
                    RESULT_VARIABLE signed)
    if(NOT signed EQUAL 0)
        message(FATAL_ERROR "${named} could not be signed")
    endif()
endif()
if(NOT named STREQUAL LINKED OR CERT)
    message(STATUS "Launcher: ${named}")
endif()
