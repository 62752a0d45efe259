# A pure library is plain C++20 without Qt (the standard library, POSIX, iconv). It never links
# Qt, so Qt's include folders are not on its path and a Qt header in it fails to compile; the
# scan below names the offending file at configure time as well.
function(kelmora_pure_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  foreach(source IN LISTS ARG_SOURCES)
    file(STRINGS "${source}" qt_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
    if(qt_includes)
      message(FATAL_ERROR "${source} is part of the Qt-free library ${name} but includes Qt: ${qt_includes}")
    endif()
  endforeach()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endfunction()
