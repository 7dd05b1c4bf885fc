# The example of docs/example (Orvell 5: product, patch, and the definition beside them), built on demand into <build>/example by the target splaunch_example.
if(NOT SPLAUNCH_HAVE_DEMO_PATCH)
    return()
endif()
set(SPLAUNCH_EXAMPLE_DIR "${CMAKE_BINARY_DIR}/example")
set(example_outputs "${SPLAUNCH_EXAMPLE_DIR}/orvell.msi" "${SPLAUNCH_EXAMPLE_DIR}/orvell-sp1.msp"
                    "${SPLAUNCH_EXAMPLE_DIR}/orvell.toml")
# The patch builder is one of the demo build's outputs.
set(mspbuild ${SPLAUNCH_DEMO_OUTPUTS})
list(FILTER mspbuild INCLUDE REGEX "/mspbuild\\.exe$")
file(GLOB example_inputs CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/docs/example/*")
# As for the demo build: the output stays in a log unless the script fails, and TMPDIR keeps
# Wine's server folders in the build folder.
add_custom_command(
    OUTPUT ${example_outputs}
    COMMAND "${CMAKE_COMMAND}" -E env "SPLAUNCH_WINE_ARCH=${SPLAUNCH_WINE_ARCH}"
            bash -c "mkdir -p \"$1.tmp\" && TMPDIR=\"$1.tmp\" bash \"$0\" \"$1\" \"$2\" > \"$1.log\" 2>&1 || { cat \"$1.log\" >&2; exit 1; }"
            "${CMAKE_SOURCE_DIR}/tools/demo-patch/build-example.sh" "${SPLAUNCH_EXAMPLE_DIR}" "${mspbuild}"
    COMMAND "${CMAKE_COMMAND}" -E touch ${example_outputs}
    DEPENDS ${example_inputs} "${CMAKE_SOURCE_DIR}/tools/demo-patch/build-example.sh" "${mspbuild}"
    COMMENT "Building the example product and patch under Wine (log: ${SPLAUNCH_EXAMPLE_DIR}.log)"
    VERBATIM)
add_custom_target(splaunch_example DEPENDS ${example_outputs})
add_dependencies(splaunch_example splaunch_demo_patch)
