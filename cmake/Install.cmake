# Install rules and the Debian package (on Windows the installer and the zip:
# cmake/WindowsInstall.cmake). `cmake --install build` puts the programs,
# the menu entry, the icons, the AppStream metadata and the manual pages under the
# prefix; `cpack --config build/CPackConfig.cmake` makes qurix_<version>_<arch>.deb.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstall.cmake)
  return()
endif()
include(GNUInstallDirs)

# QURIX_APP_ID (cmake/Version.cmake) names the desktop entry, the icon and the
# metadata; the files in packaging/ are named after it.
set(QURIX_RELEASE_DATE 2026-12-07)
set(QURIX_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 00:00:00 +0000")
set(QURIX_PACKAGE_MAINTAINER
    "Qurix maintainers <maintainers@users.noreply.c-seed-1cbd4b7e.example>"
    CACHE STRING "Name and address for the Maintainer field of the Debian package")

set(pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)
set(pkg_made)

# Debian wants manual pages and the changelog compressed without a time stamp (-n), so
# that the same sources give the same package.
function(qurix_gzip file)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -9 -n -k -f ${file}
    DEPENDS ${file}
    VERBATIM)
  set(pkg_made ${pkg_made} ${file}.gz PARENT_SCOPE)
endfunction()

foreach(program qurix qurix-lib qurix-thumbs)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    configure_file(${pkg_src}/${program}.1 ${pkg_out}/${program}.1 @ONLY)
    qurix_gzip(${pkg_out}/${program}.1)
    install(FILES ${pkg_out}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

configure_file(${pkg_src}/changelog.in ${pkg_out}/changelog @ONLY)
qurix_gzip(${pkg_out}/changelog)
install(FILES ${pkg_src}/copyright ${pkg_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qurix)

# The palette's menu entry, icons and metadata.
if(TARGET qurix)
  install(FILES ${pkg_src}/${QURIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${pkg_src}/${QURIX_APP_ID}.metainfo.xml.in
                 ${pkg_out}/${QURIX_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${pkg_out}/${QURIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  set(hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/qurix.svg
          DESTINATION ${hicolor}/scalable/apps RENAME ${QURIX_APP_ID}.svg)
  find_program(QURIX_RSVG_CONVERT rsvg-convert)
  if(QURIX_RSVG_CONVERT)
    foreach(size 48 128 256)
      set(png ${pkg_out}/icons/${size}/${QURIX_APP_ID}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg_out}/icons/${size}
        COMMAND ${QURIX_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                ${CMAKE_SOURCE_DIR}/resources/qurix.svg
        DEPENDS ${CMAKE_SOURCE_DIR}/resources/qurix.svg
        VERBATIM)
      list(APPEND pkg_made ${png})
      install(FILES ${png} DESTINATION ${hicolor}/${size}x${size}/apps)
    endforeach()
  else()
    message(WARNING "rsvg-convert (librsvg2-bin) not found: the PNG icons are not installed")
  endif()
endif()

add_custom_target(qurix_install_data ALL DEPENDS ${pkg_made})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qurix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Qurix maintainers")
set(CPACK_PACKAGE_CONTACT ${QURIX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "parts palette for the Kivox schematic editor")
set(CPACK_PACKAGE_DESCRIPTION
    "Qurix runs beside the Kivox schematic editor. It reads the editor's
KIVOX.INI, loads the part libraries it names, shows every part as a thumbnail
in the editor's colours and fonts with a full-size preview and the part's
note, and lets the user drag a part into the editor. Its interface is in
Japanese.
.
The command-line tools qurix-lib and qurix-thumbs check part libraries and
draw their parts as PNG images.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QURIX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-ipafont-gothic)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
