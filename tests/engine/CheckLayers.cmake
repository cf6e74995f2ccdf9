# Checks that the engine's layers depend one way: a source file of ENGINE_DIR
# includes engine headers of its own room or of the layers below it, never of
# a layer above it nor of another room of its own layer.
#
# The layers, lowest first. A layer holds one room or several separated by
# "|"; a room is folders (ending in "/") or files, relative to ENGINE_DIR.
# Every source file of ENGINE_DIR must be in a room, so that a new folder is
# placed in the order on purpose.
set(layers
  "Status.h StatusCodes.def EngineLog.h EngineLog.cpp"
  "model/"
  "store/"
  "config/"
  "analysis/ | records/"
  "Session.h Session.cpp"
  "entry/"
  "bench/")

if(NOT ENGINE_DIR)
  message(FATAL_ERROR "usage: cmake -DENGINE_DIR=<engine folder> -P CheckLayers.cmake")
endif()

# Sets `layer_out` and `room_out` to the layer and room of `path` (relative to
# ENGINE_DIR), or to -1 when no room holds it.
function(find_room path layer_out room_out)
  set(layer_index 0)
  foreach(layer IN LISTS layers)
    string(REPLACE "|" ";" rooms "${layer}")
    set(room_index 0)
    foreach(room IN LISTS rooms)
      string(REGEX MATCHALL "[^ ]+" members "${room}")
      foreach(member IN LISTS members)
        string(FIND "${path}" "${member}" at)
        if((member MATCHES "/$" AND at EQUAL 0) OR path STREQUAL member)
          set(${layer_out} ${layer_index} PARENT_SCOPE)
          set(${room_out} ${room_index} PARENT_SCOPE)
          return()
        endif()
      endforeach()
      math(EXPR room_index "${room_index} + 1")
    endforeach()
    math(EXPR layer_index "${layer_index} + 1")
  endforeach()
  set(${layer_out} -1 PARENT_SCOPE)
  set(${room_out} -1 PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ENGINE_DIR} ${ENGINE_DIR}/*.h ${ENGINE_DIR}/*.cpp ${ENGINE_DIR}/*.def)
list(SORT sources)
set(problems "")
foreach(source IN LISTS sources)
  find_room("${source}" layer room)
  if(layer EQUAL -1)
    string(APPEND problems "\n  ${source} is in no layer")
    continue()
  endif()
  file(STRINGS ${ENGINE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"engine/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"engine/([^\"]+)\".*" "\\1" included "${line}")
    find_room("${included}" included_layer included_room)
    if(included_layer EQUAL -1)
      string(APPEND problems "\n  ${source} includes engine/${included}, which is in no layer")
    elseif(included_layer GREATER layer)
      string(APPEND problems "\n  ${source} includes engine/${included}, of a layer above it")
    elseif(included_layer EQUAL layer AND NOT included_room EQUAL room)
      string(APPEND problems "\n  ${source} includes engine/${included}, of another room of its layer")
    endif()
  endforeach()
endforeach()

list(LENGTH sources count)
if(problems)
  message(FATAL_ERROR "engine layers broken:${problems}")
endif()
message(STATUS "${count} engine files include only their own room and the layers below")
