# Installing Kelvane on a Linux desktop, and its Debian package.
#
#   cmake --install build [--prefix DIR]     (prefix /usr/local by default)
#   cd build && cpack -G DEB                 (installs under /usr)
#
# The program keeps its settings and temporary folder in the folder it is started from, so the
# applications menu starts it through a small launcher that moves into $XDG_CONFIG_HOME/kelvane
# first. Paths between installed files are relative where a file needs to find another (launcher ->
# program, program -> help page), so the same build installs under any prefix; only the menu
# entry names the launcher by its absolute path, written when it is installed.
include(GNUInstallDirs)

set(KELVANE_PACKAGE_MAINTAINER "Kelvane developers <kelvane@localhost.invalid>" CACHE STRING
    "Maintainer named in the Debian package and its changelog")
set(kelvane_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(kelvane_gen ${PROJECT_BINARY_DIR}/packaging)
set(kelvane_datadir ${CMAKE_INSTALL_DATADIR}/kelvane)
set(kelvane_libexecdir ${CMAKE_INSTALL_LIBEXECDIR}/kelvane)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# ---- kelvane-grep and its manual page, made from the README ----
if(TARGET kelvane-grep)
  install(TARGETS kelvane-grep RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  add_custom_command(
    OUTPUT ${kelvane_gen}/kelvane-grep.1.gz
    COMMAND sh ${kelvane_pkg}/readme2man.sh ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_VERSION}
            ${kelvane_gen}/kelvane-grep.1
    COMMAND gzip -9nf ${kelvane_gen}/kelvane-grep.1
    DEPENDS ${kelvane_pkg}/readme2man.sh ${PROJECT_SOURCE_DIR}/README.md
    COMMENT "Making the kelvane-grep manual page from the README")
  add_custom_target(kelvane_manuals ALL DEPENDS ${kelvane_gen}/kelvane-grep.1.gz)
  install(FILES ${kelvane_gen}/kelvane-grep.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES ${kelvane_pkg}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvane)
configure_file(${kelvane_pkg}/changelog.in ${kelvane_gen}/changelog @ONLY)
add_custom_command(
  OUTPUT ${kelvane_gen}/changelog.gz
  COMMAND gzip -9nkf ${kelvane_gen}/changelog
  DEPENDS ${kelvane_gen}/changelog)
add_custom_target(kelvane_changelog ALL DEPENDS ${kelvane_gen}/changelog.gz)
install(FILES ${kelvane_gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvane)

# ---- the program, its help page, icon, menu entry and launcher ----
if(TARGET kelvane)
  file(RELATIVE_PATH help_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/kelvane)
  target_compile_definitions(kelvane PRIVATE KELVANE_HELP_FROM_BIN="${help_from_bin}")
  install(TARGETS kelvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/kelvane.html DESTINATION ${kelvane_datadir})

  set(icons ${PROJECT_SOURCE_DIR}/workspace/ui/icons)
  install(FILES ${icons}/src/kelvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${icons}/kelvane.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)

  configure_file(${kelvane_pkg}/kelvane.1.in ${kelvane_gen}/kelvane.1 @ONLY)
  add_custom_command(
    OUTPUT ${kelvane_gen}/kelvane.1.gz
    COMMAND gzip -9nkf ${kelvane_gen}/kelvane.1
    DEPENDS ${kelvane_gen}/kelvane.1)
  add_custom_target(kelvane_manual ALL DEPENDS ${kelvane_gen}/kelvane.1.gz)
  install(FILES ${kelvane_gen}/kelvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  file(RELATIVE_PATH KELVANE_LAUNCHER_TO_BIN ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kelvane ${CMAKE_INSTALL_FULL_BINDIR})
  configure_file(${kelvane_pkg}/kelvane-launcher.in ${kelvane_gen}/kelvane-launcher @ONLY)
  install(PROGRAMS ${kelvane_gen}/kelvane-launcher DESTINATION ${kelvane_libexecdir})

  # The menu entry names the launcher where this installation puts it (the prefix given to
  # cmake --install or to the package, not the configured one).
  if(IS_ABSOLUTE ${kelvane_libexecdir})
    set(launcher_dir ${kelvane_libexecdir})
  else()
    set(launcher_dir "\${CMAKE_INSTALL_PREFIX}/${kelvane_libexecdir}")
  endif()
  install(CODE "
    set(KELVANE_LAUNCHER \"${launcher_dir}/kelvane-launcher\")
    configure_file(\"${kelvane_pkg}/kelvane.desktop.in\" \"${kelvane_gen}/kelvane.desktop\" @ONLY)")
  install(FILES ${kelvane_gen}/kelvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

# ---- the Debian package ----
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR "The Kelvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KELVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "search and rewrite Japanese Shift-JIS text files")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Kelvane searches and rewrites the Japanese plain-text files (Shift-JIS,"
    "CP932, CR LF) of one folder tree, with its own pattern engine (regular"
    "expressions over double-byte characters, with an optional fuzzy"
    "equivalence of full-width, half-width, hiragana and katakana forms) or as"
    "plain text. Replacements are previewed and written with backups, and files"
    "can be joined and split at matches. The package also holds kelvane-grep,"
    "the same search on the command line.")
# The install rules run with the package's prefix (/usr) under a staging DESTDIR, so the menu
# entry names /usr/libexec/kelvane/kelvane-launcher.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET kelvane)
  # Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform plug-in and the fonts
  # the lists are drawn in.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
endif()
include(CPack)
