# The version header: made from project(VERSION) so that --version, the About box and
# the Debian package cannot disagree. It also holds the id that names the desktop entry,
# the icon and the AppStream metadata (cmake/Install.cmake), which Qt is told at start.
set(QURIX_APP_ID org.qurix.Qurix)
set(QURIX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/QurixVersion.h.in ${QURIX_GENERATED_DIR}/QurixVersion.h
               @ONLY)
target_include_directories(qurix_core PUBLIC ${QURIX_GENERATED_DIR})
