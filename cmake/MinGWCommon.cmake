# Shared part of the MinGW-w64 cross toolchains. The including file sets
# VELORIN_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The "-posix" compilers: their C++ runtime has std::thread and std::mutex.
set(CMAKE_C_COMPILER ${VELORIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELORIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELORIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELORIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The host's integers are 32 bits on both targets: a constant or shift that does not fit
# is an error here, not a warning.
set(CMAKE_CXX_FLAGS_INIT "-Werror=overflow -Werror=narrowing -Werror=shift-count-overflow")

# The compiler's runtime (libgcc, libstdc++, winpthread) goes into every module, so a
# module needs nothing beyond the system's DLLs and ours, and Wine finds everything.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# A DLL without marked exports exports all its own symbols, but none of that runtime.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,libgcc_eh.a:libpthread.a:libwinpthread.a")
