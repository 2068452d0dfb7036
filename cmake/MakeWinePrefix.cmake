# Creates the tests' private Wine prefix (cmake -P, from WineTests.cmake) and
# maps the second drive. The stamp is written last, so an interrupted set-up
# is redone by the next build.
execute_process(
  COMMAND env ${WINE_ENV} "${WINE}" wineboot --init
  RESULT_VARIABLE rc
  OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0 OR NOT EXISTS "${PREFIX}/drive_c")
  message(FATAL_ERROR "wineboot could not create the Wine prefix ${PREFIX} (exit ${rc})")
endif()

string(TOLOWER "${OTHER_DRIVE}" drive)
set(link "${PREFIX}/dosdevices/${drive}")
file(REMOVE "${link}")
if(IS_DIRECTORY "${OTHER_VOLUME}")
  file(CREATE_LINK "${OTHER_VOLUME}" "${link}" SYMBOLIC)
endif()
file(WRITE "${STAMP}" "")
