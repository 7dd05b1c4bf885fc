# The configuration tools of every launcher the target build links (tools/configuration, built for this machine): the definition's resource script, and the check of the compiled resources.
find_program(SPLAUNCH_PKG_CONFIG_PROGRAM pkg-config)
set(SPLAUNCH_CHECK_WARN_ONLY OFF CACHE BOOL "Report the configuration check's errors as warnings instead of failing the build")

# The tools read installer files through libmsi and libgsf and definitions through toml++.
# Without them a hand-written script is built unchecked; a definition cannot be built.
set(SPLAUNCH_HAVE_CHECKER OFF)
if(SPLAUNCH_PKG_CONFIG_PROGRAM)
    execute_process(COMMAND "${SPLAUNCH_PKG_CONFIG_PROGRAM}" --exists libmsi-1.0 libgsf-1 tomlplusplus
                    RESULT_VARIABLE libraries_missing)
    if(libraries_missing EQUAL 0)
        set(SPLAUNCH_HAVE_CHECKER ON)
    endif()
endif()
set(SPLAUNCH_TOOLS_MISSING "libmsi-1.0, libgsf-1, tomlplusplus or pkg-config missing (scripts/install-deps.sh installs them)")
if(NOT SPLAUNCH_HAVE_CHECKER)
    message(WARNING "${SPLAUNCH_TOOLS_MISSING}: resource scripts are built unchecked, definitions not at all")
endif()

# This build cross-compiles, so the tools are a project of their own with the machine's
# compiler; its folder is made anew, as the demo tools' is, so no stale cache survives.
# Another build of this source may lend its tools instead (their own build folder never
# reaches a launcher): a second build folder then compiles only the launcher.
set(SPLAUNCH_CONFIGURATION_TOOLS "" CACHE PATH
    "A folder holding splaunch-define and splaunch-check built from this source (default: built in this build folder)")
if(SPLAUNCH_CONFIGURATION_TOOLS)
    set(SPLAUNCH_TOOLS_DIR "${SPLAUNCH_CONFIGURATION_TOOLS}")
else()
    set(SPLAUNCH_TOOLS_DIR "${CMAKE_BINARY_DIR}/configuration-tools")
endif()
set(SPLAUNCH_CHECKER "${SPLAUNCH_TOOLS_DIR}/splaunch-check")
set(SPLAUNCH_DEFINER "${SPLAUNCH_TOOLS_DIR}/splaunch-define")
if(SPLAUNCH_CONFIGURATION_TOOLS)
    if(NOT EXISTS "${SPLAUNCH_CHECKER}" OR NOT EXISTS "${SPLAUNCH_DEFINER}")
        message(FATAL_ERROR "SPLAUNCH_CONFIGURATION_TOOLS: no splaunch-define and splaunch-check in ${SPLAUNCH_TOOLS_DIR}")
    endif()
    add_custom_target(splaunch_configuration_tools)
else()
    file(GLOB_RECURSE tool_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/configuration/*")
    add_custom_command(
        OUTPUT "${SPLAUNCH_CHECKER}" "${SPLAUNCH_DEFINER}"
        COMMAND "${CMAKE_COMMAND}" -E rm -rf "${SPLAUNCH_TOOLS_DIR}"
        COMMAND "${CMAKE_COMMAND}" -E env --unset=CC --unset=CXX --unset=CXXFLAGS --unset=LDFLAGS
                bash -c "{ \"$0\" -S \"$1\" -B \"$2\" -DCMAKE_BUILD_TYPE=Release && \"$0\" --build \"$2\" --target splaunch-check splaunch-define; } > \"$2.log\" 2>&1 || { cat \"$2.log\" >&2; exit 1; }"
                "${CMAKE_COMMAND}" "${CMAKE_SOURCE_DIR}/tools/configuration" "${SPLAUNCH_TOOLS_DIR}"
        DEPENDS ${tool_sources} "${CMAKE_SOURCE_DIR}/res/resource.h" "${CMAKE_SOURCE_DIR}/res/builtintexts.h"
        COMMENT "Building splaunch-define and splaunch-check for this machine (log: ${SPLAUNCH_TOOLS_DIR}.log)"
        VERBATIM)
    add_custom_target(splaunch_configuration_tools DEPENDS "${SPLAUNCH_CHECKER}" "${SPLAUNCH_DEFINER}")
endif()

# splaunch_define_launcher(<target> <definition> <folder> [<package target> <package folder>]): the
# custom target that writes the definition's resource script <folder>/splaunch.rc, with the
# description copies, products.txt (the products' .msi for the check) and launcher.cmake
# (the file's name and signature) beside it. With a package target, the script embeds the
# build's package (splaunch.msp in the package folder) instead of the definition's.
function(splaunch_define_launcher target definition folder)
    if(NOT SPLAUNCH_HAVE_CHECKER)
        message(FATAL_ERROR "${SPLAUNCH_TOOLS_MISSING}: the definition ${definition} cannot be built")
    endif()
    set(package_args "")
    set(package_depends "")
    if(ARGC GREATER 3)
        set(package_args --package "${ARGV4}/splaunch.msp")
        set(package_depends "${ARGV4}/splaunch.msp")
    endif()
    add_custom_command(
        OUTPUT "${folder}/splaunch.rc"
        BYPRODUCTS "${folder}/products.txt" "${folder}/launcher.cmake"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}"
        COMMAND "${SPLAUNCH_DEFINER}" --resources "${CMAKE_SOURCE_DIR}/res" --out "${folder}" ${package_args}
                "${definition}"
        DEPENDS "${SPLAUNCH_DEFINER}" "${definition}" ${package_depends}
        DEPFILE "${folder}/splaunch.rc.d"
        COMMENT "Making the resource script of ${definition}"
        VERBATIM)
    add_custom_target(${target} DEPENDS "${folder}/splaunch.rc")
    add_dependencies(${target} splaunch_configuration_tools)
    if(ARGC GREATER 3)
        add_dependencies(${target} ${ARGV3})
    endif()
endfunction()

# splaunch_check_launcher(<name> <script> "<files it embeds>" "<include folders>" "<targets that make them>"
# [<products file>]): compiles the script's resources as the launcher's link does (same folders,
# same working folder) and checks them, with the products' .msi the file names, before <name> is
# linked; errors stop the build unless SPLAUNCH_CHECK_WARN_ONLY is on. A folder that sets
# SPLAUNCH_CHECK_LAUNCHERS off builds its launchers unchecked.
set(SPLAUNCH_CHECK_LAUNCHERS ON)
function(splaunch_check_launcher name script embedded folders makers)
    if(NOT SPLAUNCH_HAVE_CHECKER OR NOT SPLAUNCH_CHECK_LAUNCHERS)
        return()
    endif()
    set(res "${CMAKE_CURRENT_BINARY_DIR}/${name}-check.res")
    set(include_flags "")
    foreach(dir ${folders})
        list(APPEND include_flags -I "${dir}")
    endforeach()
    set(check_flags "")
    if(SPLAUNCH_CHECK_WARN_ONLY)
        list(APPEND check_flags --warn-only)
    endif()
    if(ARGC GREATER 5)
        list(APPEND check_flags --products "${ARGV5}")
    endif()
    add_custom_command(
        OUTPUT "${res}.checked"
        COMMAND "${CMAKE_RC_COMPILER}" ${include_flags} -O res "${script}" "${res}"
        COMMAND "${SPLAUNCH_CHECKER}" ${check_flags} "${res}"
        COMMAND "${CMAKE_COMMAND}" -E touch "${res}.checked"
        DEPENDS "${SPLAUNCH_CHECKER}" "${script}" ${embedded}
        WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
        COMMENT "Checking the configuration of ${name}"
        VERBATIM)
    add_custom_target(${name}_check DEPENDS "${res}.checked")
    add_dependencies(${name}_check splaunch_configuration_tools ${makers})
    add_dependencies(${name} ${name}_check)
endfunction()
