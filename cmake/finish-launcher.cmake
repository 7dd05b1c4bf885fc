# Stamps, names and signs a linked launcher (cmake -P): the build's time in its header, the file its definition names, beside the build's other outputs, signed when a certificate is given.
#
# -DLINKED=<the linked launcher> -DFOLDER=<where the named one goes> [-DINFO=<the definition's launcher.cmake>]
# -DSOURCE_DATE_FILE=<the build's time, cmake/source-date.cmake> -DPYTHON=<python3> -DSTAMP=<scripts/pe-stamp.py>
# -DSIGN=<scripts/sign.sh> [-DCERT=... -DKEY=... -DPASSWORD_FILE=... -DTIMESTAMP_URL=... -DCA=...]
set(SPLAUNCH_LAUNCHER_FILE "splaunch.exe")
set(SPLAUNCH_SIGN_PROGRAM "")
set(SPLAUNCH_SIGN_URL "")
if(INFO)
    include("${INFO}")
endif()
# The linker wrote the time it ran; the build's time makes two builds of one source the same bytes.
file(STRINGS "${SOURCE_DATE_FILE}" source_date LIMIT_COUNT 1)
execute_process(COMMAND "${PYTHON}" "${STAMP}" "${LINKED}" "${source_date}" RESULT_VARIABLE stamped)
if(NOT stamped EQUAL 0)
    message(FATAL_ERROR "${LINKED} could not be stamped with the time ${source_date}")
endif()
set(named "${FOLDER}/${SPLAUNCH_LAUNCHER_FILE}")
if(NOT named STREQUAL LINKED)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E copy "${LINKED}" "${named}" RESULT_VARIABLE copied)
    if(NOT copied EQUAL 0)
        message(FATAL_ERROR "${LINKED} could not be copied to ${named}")
    endif()
endif()
if(CERT)
    # Without a time-stamping service the signature states the build's time, so it is the same bytes too.
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${source_date}"
                            bash "${SIGN}" "${named}" "${CERT}" "${KEY}" "${PASSWORD_FILE}" "${TIMESTAMP_URL}" "${CA}"
                            "${SPLAUNCH_SIGN_PROGRAM}" "${SPLAUNCH_SIGN_URL}"
                    RESULT_VARIABLE signed)
    if(NOT signed EQUAL 0)
        message(FATAL_ERROR "${named} could not be signed and verified")
    endif()
endif()
if(NOT named STREQUAL LINKED OR CERT)
    message(STATUS "Launcher: ${named}")
endif()
