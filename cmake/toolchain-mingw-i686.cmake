# The 32-bit Windows build, the program we ship.
set(VELMORA_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
