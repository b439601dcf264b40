# Cross-building the Windows program with Debian's mingw-w64 (the win32
# thread model, so that nothing needs a DLL beyond Windows' own), for the
# processor named with -DGL_MINGW_ARCH=i686 (32-bit) or x86_64 (64-bit).
if(NOT GL_MINGW_ARCH)
  set(GL_MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${GL_MINGW_ARCH})
set(CMAKE_C_COMPILER ${GL_MINGW_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${GL_MINGW_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${GL_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
