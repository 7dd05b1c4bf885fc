# The demo product and its real patches (tools/demo-patch/build-demo-patch.sh under Wine), and the package folders the launchers embed from.
find_program(SPLAUNCH_WINE_PROGRAM wine)
find_program(SPLAUNCH_WIXL_PROGRAM wixl)
find_program(SPLAUNCH_MSIINFO_PROGRAM msiinfo)
find_package(Python3 COMPONENTS Interpreter)

# The Windows architecture Wine runs here (scripts/wine-env.sh): win64 works on every x86-64
# machine; win32 needs a kernel that runs 32-bit programs (the Makefile passes the one
# scripts/wine-arch.sh finds). The tools, the demo run and the end-to-end tests use the build
# whose launcher is of that architecture.
set(SPLAUNCH_WINE_ARCH "win64" CACHE STRING "Windows architecture Wine runs: win64 or win32")
set_property(CACHE SPLAUNCH_WINE_ARCH PROPERTY STRINGS win64 win32)
if(SPLAUNCH_WINE_ARCH STREQUAL "win64")
    set(SPLAUNCH_WINE_PROCESSOR x86_64)
else()
    set(SPLAUNCH_WINE_PROCESSOR i686)
endif()

# The demo build needs Wine (the builder runs under it), wixl, msiinfo and python3.
set(SPLAUNCH_DEMO_PATCH_DIR "${CMAKE_BINARY_DIR}/demo-patch")
if(SPLAUNCH_WINE_PROGRAM AND SPLAUNCH_WIXL_PROGRAM AND SPLAUNCH_MSIINFO_PROGRAM AND Python3_Interpreter_FOUND)
    set(SPLAUNCH_HAVE_DEMO_PATCH ON)
else()
    set(SPLAUNCH_HAVE_DEMO_PATCH OFF)
    if(NOT SPLAUNCH_PACKAGE)
        message(FATAL_ERROR "The demo package needs wine, wixl, msiinfo and python3 (scripts/install-deps.sh "
                            "installs them); or pass -DSPLAUNCH_PACKAGE=/path/to/patch.msp")
    endif()
    message(WARNING "wine, wixl, msiinfo or python3 missing: the demo patches and the end-to-end tests are not built")
endif()

if(SPLAUNCH_HAVE_DEMO_PATCH)
    # Everything the script reads: a change to any of these rebuilds the patches, nothing else does.
    file(GLOB SPLAUNCH_DEMO_INPUTS CONFIGURE_DEPENDS
         "${CMAKE_SOURCE_DIR}/demo/*" "${CMAKE_SOURCE_DIR}/tools/demo-patch/*" "${CMAKE_SOURCE_DIR}/scripts/wine-env.sh"
         "${CMAKE_SOURCE_DIR}/cmake/mingw*.cmake")
    # The product and the patches serve both architectures; the tools are those of the
    # architecture Wine runs, in its own folder (wine_arch_dir in scripts/wine-env.sh), so that
    # switching architectures builds the other's tools once and never runs the wrong ones.
    set(SPLAUNCH_DEMO_OUTPUTS "")
    foreach(file kelvarin.msi kelvarin-sp1.msp kelvarin-sp1-fail.msp kelvarin-sp1-reboot.msp kelvarin-sp1-probe.msp
                 ${SPLAUNCH_WINE_ARCH}/msiq.exe ${SPLAUNCH_WINE_ARCH}/mspbuild.exe)
        list(APPEND SPLAUNCH_DEMO_OUTPUTS "${SPLAUNCH_DEMO_PATCH_DIR}/${file}")
    endforeach()
    # The log keeps the build output quiet; it is shown when the script fails.
    # TMPDIR keeps Wine's server folders (wine-XXXXXX) in the build folder.
    add_custom_command(
        OUTPUT ${SPLAUNCH_DEMO_OUTPUTS}
        COMMAND "${CMAKE_COMMAND}" -E env "SPLAUNCH_WINE_ARCH=${SPLAUNCH_WINE_ARCH}"
                bash -c "mkdir -p \"$1.tmp\" && TMPDIR=\"$1.tmp\" bash \"$0\" \"$1\" > \"$1.log\" 2>&1 || { cat \"$1.log\" >&2; exit 1; }"
                "${CMAKE_SOURCE_DIR}/tools/demo-patch/build-demo-patch.sh" "${SPLAUNCH_DEMO_PATCH_DIR}"
        COMMAND "${CMAKE_COMMAND}" -E touch ${SPLAUNCH_DEMO_OUTPUTS}
        DEPENDS ${SPLAUNCH_DEMO_INPUTS}
        COMMENT "Building the demo product and its patches under Wine (log: ${SPLAUNCH_DEMO_PATCH_DIR}.log)"
        VERBATIM)
    add_custom_target(splaunch_demo_patch DEPENDS ${SPLAUNCH_DEMO_OUTPUTS})
endif()

# splaunch_package_folder(<target> <folder> <source package>): copies the package to
# <folder>/splaunch.msp, the name the resource scripts embed, whenever the source changes.
function(splaunch_package_folder target folder source)
    add_custom_command(
        OUTPUT "${folder}/splaunch.msp"
        COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${folder}/splaunch.msp"
        DEPENDS "${source}"
        COMMENT "Package ${folder}/splaunch.msp"
        VERBATIM)
    add_custom_target(${target} DEPENDS "${folder}/splaunch.msp")
    string(FIND "${source}" "${SPLAUNCH_DEMO_PATCH_DIR}/" at)
    if(at EQUAL 0)
        add_dependencies(${target} splaunch_demo_patch)
    endif()
endfunction()

if(SPLAUNCH_PACKAGE)
    set(SPLAUNCH_EMBEDDED_PACKAGE "${SPLAUNCH_PACKAGE}")
else()
    set(SPLAUNCH_EMBEDDED_PACKAGE "${SPLAUNCH_DEMO_PATCH_DIR}/kelvarin-sp1.msp")
endif()
splaunch_package_folder(splaunch_package "${SPLAUNCH_PACKAGE_DIR}" "${SPLAUNCH_EMBEDDED_PACKAGE}")
