# The host build: the logic on the simulated machine, unit tests and benchmarks.
option(SPLAUNCH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SPLAUNCH_FUZZ "Build only the libFuzzer targets (clang), with ASan and UBSan" OFF)
if(SPLAUNCH_SANITIZE OR SPLAUNCH_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(SPLAUNCH_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_library(splaunch_sim STATIC
    platform/sim/sim_files.cpp
    platform/sim/sim_installer.cpp
    platform/sim/sim_machine.cpp
    platform/sim/sim_registry.cpp
    platform/sim/sim_resources.cpp
    platform/sim/sim_security.cpp
    platform/sim/sim_session.cpp
    platform/sim/sim_system.cpp
)
target_include_directories(splaunch_sim PUBLIC "${CMAKE_SOURCE_DIR}")
target_compile_options(splaunch_sim PRIVATE -Wall -Wextra -Werror)

add_library(splaunch_logic STATIC ${SPLAUNCH_LOGIC_SOURCES})
target_include_directories(splaunch_logic PUBLIC "${CMAKE_SOURCE_DIR}")
target_compile_definitions(splaunch_logic PRIVATE SPLAUNCH_LOGIC)
target_compile_options(splaunch_logic PRIVATE ${SPLAUNCH_WARNINGS})
target_link_libraries(splaunch_logic PUBLIC splaunch_sim)

enable_testing()
if(SPLAUNCH_FUZZ)
    add_subdirectory(fuzz)
    return()
endif()
find_package(GTest REQUIRED)
add_subdirectory(tests/unit)
# The configuration tools and their unit tests.
add_subdirectory(tools/configuration)

find_package(benchmark QUIET)
if(benchmark_FOUND)
    add_subdirectory(bench)
endif()
