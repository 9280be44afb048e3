# Installing marlith as a desktop program, and the Debian package CPack makes of it
# (scripts/package). `cmake --install` puts in place the program (bin/marlith, rule in
# app/), its desktop entry, its icon in the usual sizes and its AppStream metadata.
include(GNUInstallDirs)

# The icon is drawn by the program itself from the skin it carries ("skin icon"), so the
# pictures follow the skin. They are drawn as the last step of building the program, so
# that every build of it, the program alone included (scripts/run), can be installed;
# they are drawn again whenever the program is relinked. This file is included where the
# program's target is made (app/), which the step must be.
set(MARLITH_ICON_SIZES 16 32 48 64 128 256)
set(_marlith_icon_steps)
set(_marlith_icons)
foreach(n IN LISTS MARLITH_ICON_SIZES)
  set(_dir ${PROJECT_BINARY_DIR}/icons/hicolor/${n}x${n}/apps)
  # Offscreen: no display is needed to draw. A sanitizer build's program runs here
  # without the suppressions the tests use, so its leak report is left out.
  list(APPEND _marlith_icon_steps
       COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
       COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
               $<TARGET_FILE:marlith> skin icon --size ${n} -o ${_dir}/marlith.png)
  list(APPEND _marlith_icons ${_dir}/marlith.png)
  install(FILES ${_dir}/marlith.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${n}x${n}/apps)
endforeach()
add_custom_command(TARGET marlith POST_BUILD ${_marlith_icon_steps}
  BYPRODUCTS ${_marlith_icons}
  COMMENT "Drawing the icons"
  VERBATIM)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/marlith.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/io.github.marlith.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package. Library dependencies are computed from the program by
# dpkg-shlibdeps (dpkg-dev); the rest are what the program loads or names at run time:
# the embedded Firebird engine (libEngine12.so, loaded by the client library for a
# database without a host), the fonts the skin's font names map to, and Qt's
# translations, which the file and print dialogs speak Chinese from.
set(MARLITH_MAINTAINER "marlith developers <marlith@localhost>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marlith)
set(CPACK_PACKAGE_VENDOR marlith)
set(CPACK_PACKAGE_CONTACT "${MARLITH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "material requirements calculation (物料需求計算)")
# One argument: a list would lose the description's semicolons.
set(CPACK_PACKAGE_DESCRIPTION "A desktop tool for material requirements calculation over the Firebird\n\
database of a point-of-sale back office. A clerk picks a project; the tool lists\n\
the project's open customer order lines, explodes every ordered product through\n\
the bill of materials into the materials it consumes, and writes the material\n\
list back as one purchase requisition numbered by day.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core, fonts-arphic-uming, fonts-liberation, qt6-translations-l10n")
include(CPack)
