# The checker's readers of untrusted bytes (resource file, package header): no libmsi, so the fuzz build takes them too.
set(splaunch_check_warnings -Wall -Wextra -Werror)
add_library(splaunch_check_readers STATIC "${CMAKE_CURRENT_LIST_DIR}/resfile.cpp"
                                          "${CMAKE_CURRENT_LIST_DIR}/compoundfile.cpp")
# The repository root, for res/resource.h: the ids come from the launcher's own header.
target_include_directories(splaunch_check_readers PUBLIC "${CMAKE_CURRENT_LIST_DIR}" "${CMAKE_CURRENT_LIST_DIR}/../../..")
target_compile_options(splaunch_check_readers PRIVATE ${splaunch_check_warnings})
