# The Debian package: `make package` configures a Release build with prefix
# /usr and runs CPack's DEB generator over the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME alphabet-viewer)
set(CPACK_PACKAGE_VERSION ${ALPHABET_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltrane")
set(CPACK_PACKAGE_CONTACT "Alphabet viewer developers <alphabet-viewer@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for an alphabet of 3-D glyphs")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows every glyph of a binary glyph file in its own cell, each turned with a\n"
    "virtual trackball. alphabet-tool writes the sample alphabet, imports and\n"
    "exports glyphs as text, describes a glyph file and renders it to PNG.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Library dependencies as dpkg-shlibdeps reads them from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# render starts its own Xvfb where there is no display; the viewer asks for the plastique style.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xvfb, qt5-style-plugins")
# Qt draws through XWayland without it; with it the viewer runs as a native Wayland client.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qtwayland5")

include(CPack)
