# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers, the posix
# thread model (std::thread, std::mutex; Qt needs it).
#
# With a kit made by scripts/windows-kit.sh, name its folder and the build finds
# Qt, HarfBuzz, libcsv and googletest there:
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DVELMORA_WINDOWS_KIT="$(scripts/windows-kit.sh)"
# The kit's Qt uses the build machine's own Qt tools (moc, rcc, uic) from /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLET}-windres)

# Libraries and headers come from the Windows side only (zlib from
# libz-mingw-w64-dev lives there), programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The host's Qt tools, for Qt itself and for programs built against the kit.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# The kit, when given (also from the environment, for try_compile projects).
if(NOT VELMORA_WINDOWS_KIT AND DEFINED ENV{VELMORA_WINDOWS_KIT})
  set(VELMORA_WINDOWS_KIT "$ENV{VELMORA_WINDOWS_KIT}")
endif()
if(VELMORA_WINDOWS_KIT)
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WINDOWS_KIT)
  list(APPEND CMAKE_FIND_ROOT_PATH "${VELMORA_WINDOWS_KIT}")
  list(APPEND CMAKE_PREFIX_PATH "${VELMORA_WINDOWS_KIT}")
  # pkg-config (harfbuzz-subset) reads the kit's .pc files, never the host's.
  set(ENV{PKG_CONFIG_LIBDIR} "${VELMORA_WINDOWS_KIT}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
