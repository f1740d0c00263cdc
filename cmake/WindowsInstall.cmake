# The Windows installer and the portable zip (included by cmake/Install.cmake in a
# Windows build). `cpack --config build-win/CPackConfig.cmake` makes both:
#   qurix-<version>-win64.exe  NSIS, for the current user only, no administrator
#                              (packaging/windows/NSIS.template.in);
#   qurix-<version>-win64.zip  the same programs with a read-me, run where unpacked.
# The programs lie at the top of the folder, since the palette's location rule for
# KIVOX.INI looks at the program's own folder.

# Stripping writes the time into each program's header unless SOURCE_DATE_EPOCH says
# otherwise: with it, the installer and the zip hold the same bytes, and a rebuild too.
install(CODE "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} 0)
endif()")
set(QURIX_WINDOWS_PROGRAMS)
foreach(program qurix qurix-lib qurix-thumbs)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
    list(APPEND QURIX_WINDOWS_PROGRAMS ${program})
  endif()
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/COPYRIGHT.txt
               NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/packaging/COPYRIGHT.txt DESTINATION .)
# What cpack needs built (scripts/check-windows-installer builds it).
add_custom_target(qurix_windows_programs DEPENDS ${QURIX_WINDOWS_PROGRAMS})

# The zip's read-me names the programs it holds.
set(readme_lines
    "qurix|部品パレット|the parts palette"
    "qurix-lib|部品ライブラリを調べるコマンド (qurix-lib --help)|checks part libraries (qurix-lib --help)"
    "qurix-thumbs|部品の画像を PNG で描くコマンド|draws parts as PNG images")
set(QURIX_README_PROGRAMS_JA "")
set(QURIX_README_PROGRAMS_EN "")
foreach(line ${readme_lines})
  string(REPLACE "|" ";" fields "${line}")
  list(GET fields 0 program)
  list(GET fields 1 ja)
  list(GET fields 2 en)
  if(program IN_LIST QURIX_WINDOWS_PROGRAMS)
    string(LENGTH "${program}" length)
    math(EXPR pad "18 - ${length} - 4")
    string(REPEAT " " ${pad} spaces)
    string(APPEND QURIX_README_PROGRAMS_JA "- ${program}.exe${spaces}${ja}\n")
    string(APPEND QURIX_README_PROGRAMS_EN "- ${program}.exe${spaces}${en}\n")
  endif()
endforeach()
set(QURIX_WINDOWS_README ${CMAKE_BINARY_DIR}/packaging/README.txt)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt.in ${QURIX_WINDOWS_README} @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/AddReadme.cmake.in
               ${CMAKE_BINARY_DIR}/packaging/AddReadme.cmake @ONLY)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Qurix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Qurix maintainers")
set(CPACK_PACKAGE_FILE_NAME qurix-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Qurix)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Qurix)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_BINARY_DIR}/packaging/AddReadme.cmake)
set(CPACK_NSIS_PACKAGE_NAME Qurix)
set(CPACK_NSIS_DISPLAY_NAME Qurix)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
if(QURIX_ICO)
  set(CPACK_NSIS_MUI_ICON ${QURIX_ICO})
  set(CPACK_NSIS_MUI_UNIICON ${QURIX_ICO})
endif()
# CPack takes NSIS.template.in from the module path before its own.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/packaging/windows)
include(CPack)
