# The Windows half's tests run here under Wine: every Windows executable that
# ctest (or test discovery) starts goes through wine64, in a prefix of its
# own inside the build folder, so the user's own Wine setup is never
# touched. No desktop is needed: the tests are console programs.
find_program(QM_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(NOT QM_WINE64)
  message(FATAL_ERROR "wine64 is needed to run the Windows tests here (Debian package wine64); "
                      "configure with -DQM_BUILD_TESTS=OFF to build without them")
endif()

set(QM_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
# Wine Mono and Gecko are not installed: a prefix would otherwise offer to
# download them. Wine takes the Windows locale, and with it the code pages,
# from the Unix one: C.UTF-8 (always present) gives US English with console
# code page 437, and file names in UTF-8.
set(QM_WINE_ENV WINEPREFIX=${QM_WINE_PREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=" LC_ALL=C.UTF-8)
set(CMAKE_CROSSCOMPILING_EMULATOR env ${QM_WINE_ENV} ${QM_WINE64})

# A second drive on another file system, for moves across volumes: Q: is
# /dev/shm (a tmpfs) when the machine has one.
set(QM_WINE_OTHER_DRIVE "Q:")
set(QM_WINE_OTHER_VOLUME "/dev/shm")

set(QM_WINE_PREFIX_STAMP "${QM_WINE_PREFIX}/quillmere-prefix.ok")
add_custom_command(
  OUTPUT "${QM_WINE_PREFIX_STAMP}"
  COMMAND ${CMAKE_COMMAND} "-DWINE=${QM_WINE64}" "-DWINE_ENV=${QM_WINE_ENV}" "-DPREFIX=${QM_WINE_PREFIX}"
          "-DOTHER_DRIVE=${QM_WINE_OTHER_DRIVE}" "-DOTHER_VOLUME=${QM_WINE_OTHER_VOLUME}"
          "-DSTAMP=${QM_WINE_PREFIX_STAMP}" -P "${PROJECT_SOURCE_DIR}/cmake/MakeWinePrefix.cmake"
  DEPENDS "${PROJECT_SOURCE_DIR}/cmake/MakeWinePrefix.cmake"
  COMMENT "Making the private Wine prefix for the tests"
  VERBATIM)
add_custom_target(wine_prefix DEPENDS "${QM_WINE_PREFIX_STAMP}")
