# The configuration check of every launcher the target build links: tools/configuration built for this machine, run on the script's compiled resources.
find_program(SPLAUNCH_PKG_CONFIG_PROGRAM pkg-config)
set(SPLAUNCH_CHECK_WARN_ONLY OFF CACHE BOOL "Report the configuration check's errors as warnings instead of failing the build")

# The checker reads installer files through libmsi and libgsf; without them the launchers are built unchecked.
set(SPLAUNCH_HAVE_CHECKER OFF)
if(SPLAUNCH_PKG_CONFIG_PROGRAM)
    execute_process(COMMAND "${SPLAUNCH_PKG_CONFIG_PROGRAM}" --exists libmsi-1.0 libgsf-1 RESULT_VARIABLE libraries_missing)
    if(libraries_missing EQUAL 0)
        set(SPLAUNCH_HAVE_CHECKER ON)
    endif()
endif()
if(NOT SPLAUNCH_HAVE_CHECKER)
    message(WARNING "libmsi-1.0, libgsf-1 or pkg-config missing (scripts/install-deps.sh installs them): "
                    "the launchers' configurations are not checked")
    return()
endif()

# This build cross-compiles, so the checker is a project of its own with the machine's
# compiler; its folder is made anew, as the demo tools' is, so no stale cache survives.
set(SPLAUNCH_CHECKER_DIR "${CMAKE_BINARY_DIR}/checker")
set(SPLAUNCH_CHECKER "${SPLAUNCH_CHECKER_DIR}/splaunch-check")
file(GLOB_RECURSE checker_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/configuration/*")
add_custom_command(
    OUTPUT "${SPLAUNCH_CHECKER}"
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${SPLAUNCH_CHECKER_DIR}"
    COMMAND "${CMAKE_COMMAND}" -E env --unset=CC --unset=CXX --unset=CXXFLAGS --unset=LDFLAGS
            bash -c "{ \"$0\" -S \"$1\" -B \"$2\" -DCMAKE_BUILD_TYPE=Release && \"$0\" --build \"$2\" --target splaunch-check; } > \"$2.log\" 2>&1 || { cat \"$2.log\" >&2; exit 1; }"
            "${CMAKE_COMMAND}" "${CMAKE_SOURCE_DIR}/tools/configuration" "${SPLAUNCH_CHECKER_DIR}"
    DEPENDS ${checker_sources} "${CMAKE_SOURCE_DIR}/res/resource.h"
    COMMENT "Building splaunch-check for this machine (log: ${SPLAUNCH_CHECKER_DIR}.log)"
    VERBATIM)
add_custom_target(splaunch_checker DEPENDS "${SPLAUNCH_CHECKER}")

# splaunch_check_launcher(<name> <script> "<files it embeds>" <package target> <package folder> [more resource
# folders...]): compiles the script's resources as the launcher's link does (same folders, same
# working folder) and checks them before <name> is linked; errors stop the build unless
# SPLAUNCH_CHECK_WARN_ONLY is on. A folder that sets SPLAUNCH_CHECK_LAUNCHERS off builds its launchers unchecked.
set(SPLAUNCH_CHECK_LAUNCHERS ON)
function(splaunch_check_launcher name script embedded package_target package_dir)
    if(NOT SPLAUNCH_HAVE_CHECKER OR NOT SPLAUNCH_CHECK_LAUNCHERS)
        return()
    endif()
    set(res "${CMAKE_CURRENT_BINARY_DIR}/${name}-check.res")
    set(include_flags -I "${package_dir}")
    foreach(dir ${ARGN})
        list(APPEND include_flags -I "${dir}")
    endforeach()
    set(warn_only "")
    if(SPLAUNCH_CHECK_WARN_ONLY)
        set(warn_only --warn-only)
    endif()
    add_custom_command(
        OUTPUT "${res}.checked"
        COMMAND "${CMAKE_RC_COMPILER}" ${include_flags} -O res "${script}" "${res}"
        COMMAND "${SPLAUNCH_CHECKER}" ${warn_only} "${res}"
        COMMAND "${CMAKE_COMMAND}" -E touch "${res}.checked"
        DEPENDS "${SPLAUNCH_CHECKER}" "${package_dir}/splaunch.msp" ${embedded}
        WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
        COMMENT "Checking the configuration of ${name}"
        VERBATIM)
    add_custom_target(${name}_check DEPENDS "${res}.checked")
    add_dependencies(${name}_check ${package_target} splaunch_checker)
    add_dependencies(${name} ${name}_check)
endfunction()
