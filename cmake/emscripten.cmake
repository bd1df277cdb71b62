# Building for the browser (WebAssembly) with Debian's emscripten package: its own toolchain file,
# plus the prefix into which scripts/web-deps.sh built libogg and libvorbis.
#
# ZUDODO_WEB_DEPS names that prefix; libraries, headers and CMake packages are looked up there and
# in Emscripten's own system root only, never on the build machine.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZUDODO_WEB_DEPS)
if(ZUDODO_WEB_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${ZUDODO_WEB_DEPS}")
endif()
