# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the POSIX
# thread model, which OpenAL Soft's std::thread and std::mutex need).
#
# ZUDODO_WINDOWS_DEPS names the prefix into which scripts/windows-deps.sh installed GLFW, OpenAL
# Soft, libogg, libvorbis and the stb headers; libraries, headers and CMake packages are looked up
# there and in the compiler's own tree only, never on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZUDODO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZUDODO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUDODO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZUDODO_MINGW}-windres)

# try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZUDODO_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${ZUDODO_MINGW})
if(ZUDODO_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${ZUDODO_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread go into each program and DLL, so that a folder holding the
# .exe runs on any Windows without the compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
