# The package embedded by default: a placeholder of fixed bytes until a real patch exists.
set(SPLAUNCH_PLACEHOLDER "${SPLAUNCH_PACKAGE_DIR}/splaunch.msp")
add_custom_command(
    OUTPUT "${SPLAUNCH_PLACEHOLDER}"
    COMMAND "${CMAKE_COMMAND}" -DOUT=${SPLAUNCH_PLACEHOLDER} -P "${CMAKE_SOURCE_DIR}/cmake/placeholder.cmake"
    DEPENDS "${CMAKE_SOURCE_DIR}/cmake/placeholder.cmake"
    COMMENT "Writing the placeholder package")
add_custom_target(splaunch_package DEPENDS "${SPLAUNCH_PLACEHOLDER}")
