# Writes OUT: 64 KiB of distinct lines, standing in for the patch package.
file(MAKE_DIRECTORY "${CMAKE_CURRENT_LIST_DIR}")
set(text "")
foreach(i RANGE 1 1024)
    string(APPEND text "placeholder package line ${i} of 1024 ---------------------------\n")
endforeach()
file(WRITE "${OUT}" "${text}")
