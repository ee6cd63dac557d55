# The Debian package: cpack -G DEB in a build folder configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both).
# The Maintainer field is TARVIK_PACKAGE_MAINTAINER, set in the top CMakeLists.txt.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvik)
set(CPACK_PACKAGE_VENDOR "${TARVIK_COPYRIGHT}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small single-window to-do list")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
# Staged through DESTDIR, so that the install rules know not to touch the
# desktop caches of the machine that builds the package.
set(CPACK_SET_DESTDIR ON)
# Stripped as dh_strip does (src/app/CMakeLists.txt drops .comment and .note).
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVIK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/tarvik/tarvik")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The association asks GIO's own command (gio mime) what the desktop now opens
# .tvk files with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libglib2.0-bin)
# Qt needs its Wayland plugin to run as a native Wayland client, and Debian's
# Qt translations for its own buttons and dialogs in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tarvik keeps entries (tasks, questions, requests and pieces of information)
in a plain-text .tvk file and shows them on five tabs: Tasks, Completed,
Unresolved, Information and Requests. Entries are added, changed and deleted
in the window, change their status from a right-click menu and can be sorted
by any column. Saving replaces the file only once the new one is completely
written.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/data/triggers")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
