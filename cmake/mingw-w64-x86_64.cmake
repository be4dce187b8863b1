# Cross-building voidlance for 64-bit Windows with Debian's MinGW-w64 (posix
# thread model: the win32 one has no std::thread or std::mutex in GCC 12).
# The libraries come from scripts/setup-windows, in a prefix of their own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VOIDLANCE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VOIDLANCE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOIDLANCE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOIDLANCE_MINGW_TRIPLE}-windres)

if(NOT VOIDLANCE_WINDOWS_PREFIX)
  set(VOIDLANCE_WINDOWS_PREFIX /opt/voidlance-mingw)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${VOIDLANCE_MINGW_TRIPLE} ${VOIDLANCE_WINDOWS_PREFIX})
set(CMAKE_PREFIX_PATH ${VOIDLANCE_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see the cross prefix only, never the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} ${VOIDLANCE_WINDOWS_PREFIX}/lib/pkgconfig:${VOIDLANCE_WINDOWS_PREFIX}/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# One executable without the compiler's run-time DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# FreeType's static archive leaves its own dependencies to the final link.
set(CMAKE_CXX_STANDARD_LIBRARIES "-L${VOIDLANCE_WINDOWS_PREFIX}/lib -lpng16 -lz")

# Test executables run under Wine.
find_program(VOIDLANCE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VOIDLANCE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VOIDLANCE_WINE})
endif()
