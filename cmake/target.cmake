# The target build: splaunch.exe for 32-bit Windows, and its end-to-end tests under Wine.
enable_language(RC)

set(SPLAUNCH_RESOURCE_SCRIPT "${CMAKE_SOURCE_DIR}/res/splaunch.rc" CACHE FILEPATH
    "Resource script that configures the launcher: string table, description, package, manifest")
set(SPLAUNCH_PACKAGE "" CACHE FILEPATH
    "Patch package embedded by the shipped resource script (default: the demo package built here)")

# The shipped script embeds "splaunch.msp", found on windres's include path.
set(SPLAUNCH_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
if(SPLAUNCH_PACKAGE)
    set(SPLAUNCH_EMBEDDED_PACKAGE "${SPLAUNCH_PACKAGE}")
    configure_file("${SPLAUNCH_PACKAGE}" "${SPLAUNCH_PACKAGE_DIR}/splaunch.msp" COPYONLY)
else()
    include("${CMAKE_SOURCE_DIR}/cmake/package.cmake")
endif()

add_executable(splaunch WIN32
    ${SPLAUNCH_LOGIC_SOURCES}
    app/main.cpp
    framework/newdelete.cpp
    framework/winmain.cpp
    platform/win32/msi_loader.cpp
    "${SPLAUNCH_RESOURCE_SCRIPT}"
)
target_include_directories(splaunch PRIVATE "${CMAKE_SOURCE_DIR}")
target_compile_definitions(splaunch PRIVATE SPLAUNCH_LOGIC WIN32_LEAN_AND_MEAN)
target_compile_options(splaunch PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:${SPLAUNCH_WARNINGS} -Os -fno-rtti -ffunction-sections -fdata-sections
                              -fno-asynchronous-unwind-tables -fno-ident>)
target_link_options(splaunch PRIVATE -s -mwindows -static-libgcc -static-libstdc++ -Wl,--gc-sections)
# windres does not report the files a script embeds: depend on the script's whole folder.
get_filename_component(SPLAUNCH_RESOURCE_DIR "${SPLAUNCH_RESOURCE_SCRIPT}" DIRECTORY)
file(GLOB SPLAUNCH_RESOURCE_FILES CONFIGURE_DEPENDS "${SPLAUNCH_RESOURCE_DIR}/*")
set_property(SOURCE "${SPLAUNCH_RESOURCE_SCRIPT}" APPEND PROPERTY OBJECT_DEPENDS
             "${SPLAUNCH_PACKAGE_DIR}/splaunch.msp" ${SPLAUNCH_RESOURCE_FILES})
set_property(SOURCE "${SPLAUNCH_RESOURCE_SCRIPT}" APPEND PROPERTY INCLUDE_DIRECTORIES "${SPLAUNCH_PACKAGE_DIR}")
if(TARGET splaunch_package)
    add_dependencies(splaunch splaunch_package)
endif()

enable_testing()
add_subdirectory(tests/e2e)
