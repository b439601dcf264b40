# What the Windows resources take from the build: the application manifest for
# one processor architecture, and the version, from project(VERSION), for the
# manifest and the version resource (version.h). Windows will not start a
# program whose common-controls dependency names an architecture other than
# its own, so the manifest follows the build: X86 for 32 bits, amd64 or arm64
# for 64.
#   include(WindowsResources.cmake) and
#   gl_write_windows_resources(folder processor pointer-size version), or
#   cmake -DOUT=folder -DPROCESSOR=x86_64 -DPOINTER_SIZE=8 -P WindowsResources.cmake
#   (the version then read from the top CMakeLists.txt)
function(gl_write_windows_resources out processor pointer_size version)
  string(TOLOWER "${processor}" p)
  if(p MATCHES "^(arm64|aarch64)$")
    set(GL_MANIFEST_ARCH arm64)
  elseif(pointer_size EQUAL 8)
    set(GL_MANIFEST_ARCH amd64)
  else()
    set(GL_MANIFEST_ARCH X86)
  endif()
  string(REPLACE "." ";" parts "${version}")
  list(GET parts 0 GL_VERSION_MAJOR)
  list(GET parts 1 GL_VERSION_MINOR)
  list(GET parts 2 GL_VERSION_PATCH)
  set(GL_VERSION "${version}")
  # Its comments are for the reader of the source, not for the program.
  file(READ ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/gradient-logo.manifest.in manifest)
  string(REGEX REPLACE "[ \t\r\n]*<!--([^-]|-[^-])*-->" "" manifest "${manifest}")
  file(CONFIGURE OUTPUT ${out}/gradient-logo.manifest CONTENT "${manifest}" @ONLY)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.h.in ${out}/version.h @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt project REGEX "^project\\(")
  string(REGEX MATCH "VERSION ([0-9]+\\.[0-9]+\\.[0-9]+)" _ "${project}")
  gl_write_windows_resources("${OUT}" "${PROCESSOR}" "${POINTER_SIZE}" "${CMAKE_MATCH_1}")
endif()
