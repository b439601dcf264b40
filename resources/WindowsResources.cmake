# The application manifest for one processor architecture. Windows will not
# start a program whose common-controls dependency names an architecture other
# than its own, so the manifest follows the build: X86 for 32 bits, amd64 or
# arm64 for 64.
#   include(Manifest.cmake) and gl_write_manifest(out processor pointer-size), or
#   cmake -DOUT=file -DPROCESSOR=x86_64 -DPOINTER_SIZE=8 -P Manifest.cmake
function(gl_write_manifest out processor pointer_size)
  string(TOLOWER "${processor}" p)
  if(p MATCHES "^(arm64|aarch64)$")
    set(GL_MANIFEST_ARCH arm64)
  elseif(pointer_size EQUAL 8)
    set(GL_MANIFEST_ARCH amd64)
  else()
    set(GL_MANIFEST_ARCH X86)
  endif()
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/gradient-logo.manifest.in ${out} @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  gl_write_manifest("${OUT}" "${PROCESSOR}" "${POINTER_SIZE}")
endif()
