# 64-bit Windows (x86_64): runs under the 64-bit Wine loader; long is still 32 bits.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(VELORIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWCommon.cmake)
