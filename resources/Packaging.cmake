# The Debian package, built by CPack from the install rules:
#   cmake --build build --target package   (or: cd build && cpack)
# Its library dependencies are computed from the binary by dpkg-shlibdeps. Qt
# loads its platform plugins at run time, which no linker records, so that one
# package is named by hand.
include(GNUInstallDirs)

set(GL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/gradient-logo)
set(GL_GEN ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${GL_GEN})

# Debian's copyright file: the project's LICENSE in the machine-readable format.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE GL_LICENSE)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" GL_LICENSE "${GL_LICENSE}")
string(REGEX REPLACE "\n\n" "\n.\n" GL_LICENSE "${GL_LICENSE}")
string(REGEX REPLACE "\n$" "" GL_LICENSE "${GL_LICENSE}")
string(REPLACE "\n" "\n " GL_LICENSE " ${GL_LICENSE}")
file(WRITE ${GL_GEN}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: gradient-logo

Files: *
Copyright: 2026 Gradient Logo developers
License: MIT

License: MIT
${GL_LICENSE}
")

# The manual page carries the project's version and day.
configure_file(${CMAKE_CURRENT_LIST_DIR}/gradient-logo.1.in ${GL_GEN}/gradient-logo.1 @ONLY)
# Compressed without a timestamp, as Debian wants manual pages and changelogs.
foreach(f ${GL_GEN}/gradient-logo.1 ${CMAKE_CURRENT_LIST_DIR}/changelog)
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${GL_GEN}/${name}.gz
    COMMAND gzip -9n -c ${f} > ${GL_GEN}/${name}.gz
    DEPENDS ${f} VERBATIM)
endforeach()
add_custom_target(gl_docs ALL DEPENDS ${GL_GEN}/gradient-logo.1.gz ${GL_GEN}/changelog.gz)
install(FILES ${GL_GEN}/gradient-logo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${GL_GEN}/copyright ${GL_GEN}/changelog.gz DESTINATION ${GL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gradient-logo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Gradient Logo developers")
set(CPACK_PACKAGE_CONTACT "Gradient Logo developers <developers@gradientlogo.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool that makes a two-colour gradient logo")
set(CPACK_PACKAGE_DESCRIPTION
"Gradient Logo opens one small window. Pick a first and a second colour, press
Make Logo to draw a 128 x 24 gradient bar from the first colour to the second,
and press Ok Logo to save it: the colours go to LOGO.TXT and the logo to
LOGO.BMP, a standard 24-bit BMP, in the current directory. The next start shows
the saved logo.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
