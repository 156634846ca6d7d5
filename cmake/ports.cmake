# The loopback ports of the tests and the demo, from the table in ports.txt:
# ZK_PORT_<name> is ZK_PORT_BASE plus that port's offset.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/ports.txt)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/ports.txt zk_port_lines REGEX "^[0-9]")
foreach(line IN LISTS zk_port_lines)
  string(REGEX MATCH "^([0-9]+)[ \t]+([A-Z0-9_]+)" zk_port_entry "${line}")
  math(EXPR ZK_PORT_${CMAKE_MATCH_2} "${ZK_PORT_BASE} + ${CMAKE_MATCH_1}")
endforeach()

# zk_address_setting(<name> <default> <description>): a cache setting whose
# default is built from the port base. A value still equal to the default it
# was last given follows the default when the port base changes; a value set
# by hand stays.
function(zk_address_setting name default description)
  set(recorded ZK_DEFAULT_OF_${name})
  set(follow FALSE)
  if(NOT DEFINED CACHE{${name}})
    set(follow TRUE)
  elseif(DEFINED CACHE{${recorded}})
    if("$CACHE{${name}}" STREQUAL "$CACHE{${recorded}}")
      set(follow TRUE)
    endif()
  elseif(EXISTS ${CMAKE_BINARY_DIR}/CMakeCache.txt)
    # A folder configured before defaults were recorded: a value of the
    # default's shape, port aside, was the default.
    string(REGEX REPLACE ":[0-9]+/" ":/" value_shape "$CACHE{${name}}")
    string(REGEX REPLACE ":[0-9]+/" ":/" default_shape "${default}")
    if(value_shape STREQUAL default_shape)
      set(follow TRUE)
    endif()
  endif()
  if(follow)
    set(${name} "${default}" CACHE STRING "${description}" FORCE)
  else()
    # Gives a value from the command line its type and description.
    set(${name} "$CACHE{${name}}" CACHE STRING "${description}")
  endif()
  set(${recorded} "${default}" CACHE INTERNAL "")
endfunction()
