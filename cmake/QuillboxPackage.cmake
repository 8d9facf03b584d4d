# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT

# The Debian package: `cpack -G DEB` in the build folder (`make package`) packs what `cmake --install`
# installs, under /usr. dpkg-shlibdeps computes the library dependencies from the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillbox)
set(CPACK_PACKAGE_VENDOR Brindlewood)
set(CPACK_PACKAGE_CONTACT "Brindlewood <support@brindlewood.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop organiser for notes and clippings")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillbox keeps notes and clippings in a tree of articles, each with a caption, a formatted text body, \
a marker icon and sub-articles. It edits them in tabs, follows links between articles, lists them in an \
index, searches them in the background, and prints or exports an article, a branch or the whole document. \
quillbox-cli reads, converts, searches, exports and prints the same documents without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://brindlewood.example/quillbox")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, which no library dependency names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own dialogs (font, colour, files) in the chosen language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The menu, the file type and the icons are picked up by the triggers of desktop-file-utils,
# shared-mime-info and the icon theme; the package needs no scripts of its own.
include(CPack)
