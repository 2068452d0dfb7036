# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the
# "posix" thread model, which std::thread and GoogleTest need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QM_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QM_MINGW_TRIPLE}-windres)

# Libraries and headers come from the target's tree only; programs run here.
set(CMAKE_FIND_ROOT_PATH /usr/${QM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libstdc++, libgcc, winpthread) is linked in, so an
# executable runs on a bare Windows, or under Wine, without the MinGW DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
