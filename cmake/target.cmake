# The target build: a launcher for 32-bit Windows from its definition (the shipped one: splaunch.exe with the real demo patch), its test-only variants, and the end-to-end tests under Wine.
enable_language(RC)

set(SPLAUNCH_SHIPPED_DEFINITION "${CMAKE_SOURCE_DIR}/res/splaunch.toml")
set(SPLAUNCH_DEFINITION "${SPLAUNCH_SHIPPED_DEFINITION}" CACHE FILEPATH
    "The launcher's definition (TOML): file name, package, description, messages, products, feature rows")
set(SPLAUNCH_RESOURCE_SCRIPT "" CACHE FILEPATH "A hand-written resource script to build instead of a definition")
set(SPLAUNCH_PACKAGE "" CACHE FILEPATH
    "Patch package to embed instead of the definition's (the shipped definition's: the demo patch built here)")
# Build folders configured before definitions existed keep the old shipped script as theirs.
if(SPLAUNCH_RESOURCE_SCRIPT STREQUAL "${CMAKE_SOURCE_DIR}/res/splaunch.rc")
    set_property(CACHE SPLAUNCH_RESOURCE_SCRIPT PROPERTY VALUE "")
endif()

# Scripts that take the build's package embed "splaunch.msp", found on windres's include path.
set(SPLAUNCH_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
# The shipped definition's script and the files beside it (the e2e variants use them too).
set(SPLAUNCH_DEFINITION_DIR "${CMAKE_BINARY_DIR}/definition")
include("${CMAKE_SOURCE_DIR}/cmake/package.cmake")
include("${CMAKE_SOURCE_DIR}/cmake/configuration.cmake")
include("${CMAKE_SOURCE_DIR}/cmake/example.cmake")

# The code, compiled once for the shipped launcher and every test variant.
add_library(splaunch_objects OBJECT
    ${SPLAUNCH_LOGIC_SOURCES}
    app/main.cpp
    framework/newdelete.cpp
    framework/startup.cpp
    platform/win32/msi_loader.cpp
)
target_include_directories(splaunch_objects PRIVATE "${CMAKE_SOURCE_DIR}")
target_compile_definitions(splaunch_objects PRIVATE SPLAUNCH_LOGIC WIN32_LEAN_AND_MEAN)
target_compile_options(splaunch_objects PRIVATE
    ${SPLAUNCH_WARNINGS} -Os -flto -fno-rtti -ffunction-sections -fdata-sections -fno-ident)
# i686 unwinds with DWARF tables of its own; x86-64 Windows needs the SEH tables this would drop.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    target_compile_options(splaunch_objects PRIVATE -fno-asynchronous-unwind-tables)
endif()

# The process is entered through framework/startup.cpp, not the toolchain's start-up objects
# and their TLS, pseudo-relocation and signal support, none of which the launcher uses.
# crtbegin.o and crtend.o enclose the exception frame tables and register them; crtend.o
# ends them, so it comes after every library that has frames (those CMake adds after it have none).
foreach(crt crtbegin crtend)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${crt}.o OUTPUT_VARIABLE SPLAUNCH_${crt}
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# splaunch_link_runtime(<name>): links <name> as the launcher: optimised for size across the
# whole program at link time, the runtime static, data imported only where declared so
# (nothing would relocate auto-imported data).
function(splaunch_link_runtime name)
    target_link_options(${name} PRIVATE -Os -flto -s -mwindows -nostdlib "${SPLAUNCH_crtbegin}"
                        -Wl,--gc-sections,--disable-auto-import)
    target_link_libraries(${name} PRIVATE
        -Wl,--start-group -l:libstdc++.a gcc gcc_eh mingw32 msvcrt kernel32 -Wl,--end-group "${SPLAUNCH_crtend}")
endfunction()

# splaunch_add_launcher(<name> <resource script> [PACKAGE <target> <folder>] [INCLUDE <folders>...]
# [DEPENDS <targets>...] [PRODUCTS <file>] [GENERATED]): the launcher's objects linked with the
# resources of the script. With PACKAGE, its "splaunch.msp" is the one in <folder>, which
# <target> makes; windres also looks in the INCLUDE folders for named files. DEPENDS names the
# targets that make the script or files it embeds. The configuration is checked before the link
# (cmake/configuration.cmake), with the products' .msi that PRODUCTS lists.
function(splaunch_add_launcher name script)
    cmake_parse_arguments(PARSE_ARGV 2 arg "GENERATED" "PRODUCTS" "PACKAGE;INCLUDE;DEPENDS")
    add_executable(${name} WIN32 $<TARGET_OBJECTS:splaunch_objects> "${script}")
    set(folders ${arg_INCLUDE})
    set(embedded "")
    set(makers ${arg_DEPENDS})
    if(arg_PACKAGE)
        list(GET arg_PACKAGE 0 package_target)
        list(GET arg_PACKAGE 1 package_dir)
        list(PREPEND folders "${package_dir}")
        list(APPEND embedded "${package_dir}/splaunch.msp")
        list(APPEND makers ${package_target})
    endif()
    target_include_directories(${name} PRIVATE ${folders})
    splaunch_link_runtime(${name})
    # windres does not report the files a script embeds: depend on a hand-written script's whole
    # folder (a generated script is written anew whenever a file it embeds changes).
    if(NOT arg_GENERATED)
        get_filename_component(script_dir "${script}" DIRECTORY)
        file(GLOB script_files CONFIGURE_DEPENDS "${script_dir}/*")
        list(APPEND embedded ${script_files})
    endif()
    set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS ${embedded})
    if(makers)
        add_dependencies(${name} ${makers})
    endif()
    splaunch_check_launcher(${name} "${script}" "${embedded}" "${folders}" "${makers}" ${arg_PRODUCTS})
endfunction()

# The launcher: from a hand-written script, or from its definition. A script and the shipped
# definition embed the build's package; -DSPLAUNCH_PACKAGE replaces another definition's.
set(launcher_info "")
if(SPLAUNCH_RESOURCE_SCRIPT)
    splaunch_add_launcher(splaunch "${SPLAUNCH_RESOURCE_SCRIPT}" PACKAGE splaunch_package "${SPLAUNCH_PACKAGE_DIR}")
else()
    set(package "")
    if(SPLAUNCH_PACKAGE OR SPLAUNCH_DEFINITION STREQUAL SPLAUNCH_SHIPPED_DEFINITION)
        set(package splaunch_package "${SPLAUNCH_PACKAGE_DIR}")
    endif()
    splaunch_define_launcher(splaunch_definition "${SPLAUNCH_DEFINITION}" "${SPLAUNCH_DEFINITION_DIR}" ${package})
    if(package)
        list(PREPEND package PACKAGE)
    endif()
    splaunch_add_launcher(splaunch "${SPLAUNCH_DEFINITION_DIR}/splaunch.rc" ${package} DEPENDS splaunch_definition
                          PRODUCTS "${SPLAUNCH_DEFINITION_DIR}/products.txt" GENERATED)
    set(launcher_info "${SPLAUNCH_DEFINITION_DIR}/launcher.cmake")
    # Another definition names a file of its own: the linked launcher waits apart until it is named.
    if(NOT SPLAUNCH_DEFINITION STREQUAL SPLAUNCH_SHIPPED_DEFINITION)
        set_target_properties(splaunch PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/linked")
    endif()
endif()

# The time the launcher states (its PE time stamp, and the signing time of a signature without
# a time-stamping service), worked out at every build (cmake/source-date.cmake); a new time relinks.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(SPLAUNCH_SOURCE_DATE_FILE "${CMAKE_BINARY_DIR}/source-date-epoch")
add_custom_target(splaunch_source_date
    COMMAND "${CMAKE_COMMAND}" "-DSOURCE=${CMAKE_SOURCE_DIR}" "-DFILE=${SPLAUNCH_SOURCE_DATE_FILE}"
            -P "${CMAKE_SOURCE_DIR}/cmake/source-date.cmake"
    BYPRODUCTS "${SPLAUNCH_SOURCE_DATE_FILE}"
    VERBATIM)
add_dependencies(splaunch splaunch_source_date)
set_property(TARGET splaunch APPEND PROPERTY LINK_DEPENDS "${SPLAUNCH_SOURCE_DATE_FILE}")

# Authenticode signing of the launcher once it is linked, stamped, stripped and named; unsigned unless
# a certificate is given (scripts/sign.sh: a PEM certificate and key, or a .p12).
set(SPLAUNCH_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate (PEM, or PKCS#12 .p12/.pfx) to sign the launcher with")
set(SPLAUNCH_SIGN_KEY "" CACHE FILEPATH "The certificate's private key (PEM); empty for a .p12")
set(SPLAUNCH_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file holding the key's password")
set(SPLAUNCH_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping service")
set(SPLAUNCH_SIGN_CA "" CACHE FILEPATH "The root to verify the signature against (default: the system's)")
add_custom_command(TARGET splaunch POST_BUILD
    COMMAND "${CMAKE_COMMAND}" "-DLINKED=$<TARGET_FILE:splaunch>" "-DFOLDER=${CMAKE_BINARY_DIR}"
            "-DINFO=${launcher_info}" "-DSOURCE_DATE_FILE=${SPLAUNCH_SOURCE_DATE_FILE}"
            "-DPYTHON=${Python3_EXECUTABLE}" "-DSTAMP=${CMAKE_SOURCE_DIR}/scripts/pe-stamp.py"
            "-DSIGN=${CMAKE_SOURCE_DIR}/scripts/sign.sh" "-DCERT=${SPLAUNCH_SIGN_CERT}" "-DKEY=${SPLAUNCH_SIGN_KEY}"
            "-DPASSWORD_FILE=${SPLAUNCH_SIGN_PASSWORD_FILE}" "-DTIMESTAMP_URL=${SPLAUNCH_SIGN_TIMESTAMP_URL}"
            "-DCA=${SPLAUNCH_SIGN_CA}" -P "${CMAKE_SOURCE_DIR}/cmake/finish-launcher.cmake"
    VERBATIM)

enable_testing()
add_subdirectory(tests/e2e)
