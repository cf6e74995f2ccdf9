# Reads the X-macro lists that the C++ sources include (engine/StatusCodes.def,
# utils/XmlTags.def, and those of KervJavaLists.cmake) so that the Java sources
# can be generated from the same entries. A list changed on disk makes CMake
# configure again.

# kerv_read_xmacro_list(<file> <macro> <out>): sets <out> to one element per
# "<macro>(a, b, ..., "text")" line of <file>, the arguments joined by "|"
# and the last one's quotes removed.
function(kerv_read_xmacro_list file macro out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(STRINGS ${file} _lines REGEX "^${macro}\\(")
  # An entry this reader would skip (indented, or after other text) is an error,
  # as the C++ side would still see it.
  file(STRINGS ${file} _mentions REGEX "^[^/]*[^A-Za-z0-9_/]${macro}\\(|^[ \t]+${macro}\\(")
  if(_mentions)
    list(GET _mentions 0 _mention)
    message(FATAL_ERROR "${file}: put each ${macro} entry at the start of its own line: \"${_mention}\"")
  endif()
  set(_entries)
  foreach(_line IN LISTS _lines)
    # Plain arguments first, then at most one string (which may hold commas).
    if(NOT _line MATCHES "^${macro}\\(([^\"]*)(\"(.*)\")?\\)$")
      message(FATAL_ERROR "${file}: cannot read \"${_line}\"")
    endif()
    set(_args "${CMAKE_MATCH_1}")
    set(_quoted "${CMAKE_MATCH_2}")
    set(_text "${CMAKE_MATCH_3}")
    string(REGEX REPLACE " *, *$" "" _args "${_args}")
    string(REGEX REPLACE " *, *" "|" _args "${_args}")
    if(_quoted)
      string(APPEND _args "|${_text}")
    endif()
    list(APPEND _entries "${_args}")
  endforeach()
  if(NOT _entries)
    message(FATAL_ERROR "${file}: no ${macro} entries")
  endif()
  set(${out} "${_entries}" PARENT_SCOPE)
endfunction()

# kerv_upper_snake(<name> <out>): "kProjectNotFound" -> "PROJECT_NOT_FOUND",
# "VQMessageRuleMap" -> "VQ_MESSAGE_RULE_MAP", the Java spelling of a C++ name.
function(kerv_upper_snake name out)
  string(REGEX REPLACE "^k([A-Z])" "\\1" _name "${name}")
  string(REGEX REPLACE "([A-Z]+)([A-Z][a-z])" "\\1_\\2" _name "${_name}")
  string(REGEX REPLACE "([a-z0-9])([A-Z])" "\\1_\\2" _name "${_name}")
  string(TOUPPER "${_name}" _name)
  set(${out} "${_name}" PARENT_SCOPE)
endfunction()
