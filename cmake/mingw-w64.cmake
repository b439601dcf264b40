# Cross-building the Windows program with Debian's mingw-w64 (the win32
# thread model, so that nothing needs a DLL beyond Windows' own), for the
# processor named with -DGL_MINGW_ARCH=i686 (32-bit) or x86_64 (64-bit).
# The tests' build takes the posix thread model (-DGL_MINGW_THREADS=posix):
# GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks; it is
# linked in statically all the same.
if(NOT GL_MINGW_ARCH)
  set(GL_MINGW_ARCH x86_64)
endif()
if(NOT GL_MINGW_THREADS)
  set(GL_MINGW_THREADS win32)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${GL_MINGW_ARCH})
set(CMAKE_C_COMPILER ${GL_MINGW_ARCH}-w64-mingw32-gcc-${GL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${GL_MINGW_ARCH}-w64-mingw32-g++-${GL_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${GL_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
