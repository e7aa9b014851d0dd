# 32-bit Windows (i686), the plug-in's real target.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VELORIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWCommon.cmake)
