# The target build: splaunch.exe for 32-bit Windows with the real demo patch, its test-only variants, and the end-to-end tests under Wine.
enable_language(RC)

set(SPLAUNCH_RESOURCE_SCRIPT "${CMAKE_SOURCE_DIR}/res/splaunch.rc" CACHE FILEPATH
    "Resource script that configures the launcher: string table, description, package, manifest")
set(SPLAUNCH_PACKAGE "" CACHE FILEPATH
    "Patch package embedded by the shipped resource script (default: the demo patch built here)")

# The shipped script embeds "splaunch.msp", found on windres's include path.
set(SPLAUNCH_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
include("${CMAKE_SOURCE_DIR}/cmake/package.cmake")
include("${CMAKE_SOURCE_DIR}/cmake/checker.cmake")

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

# splaunch_add_launcher(<name> <resource script> <package target> <package folder> [more resource folders...]):
# the launcher's objects linked with the resources of <script>, whose "splaunch.msp" is
# the one in <package folder>. windres also looks in the extra folders for named files.
# The configuration is checked before the link (cmake/checker.cmake).
function(splaunch_add_launcher name script package_target package_dir)
    add_executable(${name} WIN32 $<TARGET_OBJECTS:splaunch_objects> "${script}")
    target_include_directories(${name} PRIVATE "${package_dir}" ${ARGN})
    splaunch_link_runtime(${name})
    # windres does not report the files a script embeds: depend on the script's whole
    # folder (the package is listed by the caller's package target).
    get_filename_component(script_dir "${script}" DIRECTORY)
    file(GLOB script_files CONFIGURE_DEPENDS "${script_dir}/*")
    set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS "${package_dir}/splaunch.msp" ${script_files})
    add_dependencies(${name} ${package_target})
    splaunch_check_launcher(${name} "${script}" "${script_files}" ${package_target} "${package_dir}" ${ARGN})
endfunction()

splaunch_add_launcher(splaunch "${SPLAUNCH_RESOURCE_SCRIPT}" splaunch_package "${SPLAUNCH_PACKAGE_DIR}")

# Authenticode signing of the shipped launcher once it is linked and stripped; unsigned
# unless a certificate is given (scripts/sign.sh: a PEM certificate and key, or a .p12).
set(SPLAUNCH_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate (PEM, or PKCS#12 .p12/.pfx) to sign splaunch.exe with")
set(SPLAUNCH_SIGN_KEY "" CACHE FILEPATH "The certificate's private key (PEM); empty for a .p12")
set(SPLAUNCH_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file holding the key's password")
set(SPLAUNCH_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping service")
set(SPLAUNCH_SIGN_CA "" CACHE FILEPATH "The root to verify the signature against (default: the system's)")
if(SPLAUNCH_SIGN_CERT)
    add_custom_command(TARGET splaunch POST_BUILD
        COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/sign.sh" "$<TARGET_FILE:splaunch>" "${SPLAUNCH_SIGN_CERT}"
                "${SPLAUNCH_SIGN_KEY}" "${SPLAUNCH_SIGN_PASSWORD_FILE}" "${SPLAUNCH_SIGN_TIMESTAMP_URL}"
                "${SPLAUNCH_SIGN_CA}"
        VERBATIM)
endif()

enable_testing()
add_subdirectory(tests/e2e)
