# The version header: made from project(VERSION) so that --version, the About box and
# the Debian package cannot disagree.
set(QURIX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/QurixVersion.h.in ${QURIX_GENERATED_DIR}/QurixVersion.h
               @ONLY)
target_include_directories(qurix_core PUBLIC ${QURIX_GENERATED_DIR})
