# Fails the build when a file of core/ includes anything but the C++ standard
# library or another file of core/: core stays free of Qt and OS headers.
file(GLOB_RECURSE QM_CORE_FILES "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(QM_STD_HEADERS
  algorithm any array atomic bit bitset cassert cctype cerrno cfloat charconv chrono cinttypes climits
  cmath compare concepts cstddef cstdint cstdio cstdlib cstring ctime cwchar cwctype deque exception
  filesystem functional initializer_list iomanip ios iosfwd iostream istream iterator limits list locale
  map memory memory_resource new numeric optional ostream queue random ranges ratio regex set
  span sstream stack stdexcept streambuf string string_view system_error tuple type_traits typeinfo
  unordered_map unordered_set utility variant vector version)
set(QM_BAD "")
foreach(f ${QM_CORE_FILES})
  file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      list(FIND QM_STD_HEADERS "${CMAKE_MATCH_1}" idx)
      if(idx EQUAL -1)
        list(APPEND QM_BAD "${f}: <${CMAKE_MATCH_1}>")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      get_filename_component(dir "${f}" DIRECTORY)
      if(NOT EXISTS "${dir}/${CMAKE_MATCH_1}" AND NOT EXISTS "${CORE_DIR}/${CMAKE_MATCH_1}")
        list(APPEND QM_BAD "${f}: \"${CMAKE_MATCH_1}\"")
      endif()
    endif()
  endforeach()
endforeach()
if(QM_BAD)
  string(REPLACE ";" "\n  " QM_BAD "${QM_BAD}")
  message(FATAL_ERROR "core/ may include only the standard library and core/ itself:\n  ${QM_BAD}")
endif()
file(WRITE "${STAMP}" "ok\n")
