# Windows programs carry the product icon and a version resource, which Explorer, the
# taskbar and the list of installed programs show. qurix_windows_resources(<target>
# [DESCRIPTION <text>]) adds both to a program; on other systems it does nothing.
# The icon is resource 1: LoadIcon(instance, MAKEINTRESOURCE(1)) gives it to a window.
include_guard(GLOBAL)
if(WIN32)
  enable_language(RC)
  set(QURIX_ICO ${CMAKE_BINARY_DIR}/resources/qurix.ico)
  set(QURIX_ICON_SVG ${CMAKE_SOURCE_DIR}/resources/qurix.svg)
  find_program(QURIX_RSVG_CONVERT rsvg-convert)
  find_program(QURIX_ICOTOOL icotool)
  if(QURIX_RSVG_CONVERT AND QURIX_ICOTOOL)
    # 256 px is stored as PNG, as Windows expects of that size; the small ones as bitmaps,
    # which every reader of .ico files takes.
    set(draw)
    set(icon_args)
    foreach(size 16 24 32 48 64 256)
      set(png ${CMAKE_BINARY_DIR}/resources/qurix-${size}.png)
      list(APPEND draw COMMAND ${QURIX_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${QURIX_ICON_SVG})
      if(size EQUAL 256)
        list(APPEND icon_args --raw=${png})
      else()
        list(APPEND icon_args ${png})
      endif()
    endforeach()
    add_custom_command(OUTPUT ${QURIX_ICO}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
      ${draw}
      COMMAND ${QURIX_ICOTOOL} -c -o ${QURIX_ICO} ${icon_args}
      DEPENDS ${QURIX_ICON_SVG}
      VERBATIM)
    add_custom_target(qurix_ico DEPENDS ${QURIX_ICO})
  else()
    message(WARNING "rsvg-convert (librsvg2-bin) or icotool (icoutils) not found: "
                    "the Windows programs go without the product icon")
    unset(QURIX_ICO)
  endif()
endif()

function(qurix_windows_resources target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(R "" "DESCRIPTION" "" ${ARGN})
  if(NOT R_DESCRIPTION)
    set(R_DESCRIPTION "Qurix ${target}")
  endif()
  set(QURIX_RC_DESCRIPTION ${R_DESCRIPTION})
  set(QURIX_RC_NAME ${target})
  set(QURIX_RC_ICON "")
  if(QURIX_ICO)
    set(QURIX_RC_ICON "1 ICON \"${QURIX_ICO}\"")
  endif()
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(QURIX_RC_${part} ${PROJECT_VERSION_${part}})
    if(NOT QURIX_RC_${part})
      set(QURIX_RC_${part} 0)
    endif()
  endforeach()
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/qurix.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(QURIX_ICO)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${QURIX_ICO})
    add_dependencies(${target} qurix_ico)
  endif()
endfunction()
