# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads, which Qt needs).
# scripts/build-windows passes the static Qt for Windows in CMAKE_PREFIX_PATH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Qt for Windows is found through CMAKE_PREFIX_PATH, outside the MinGW root.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# Qt is linked with the compiler's runtime built in; so is Solvane, so that it needs only
# Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
