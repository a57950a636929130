# Windows resources of patcher.exe (included after add_executable(patcher)): the dialog
# templates, icon 10, the application manifest, the version and the embedded container.
enable_language(RC)

if(NOT ORVO_EMBEDDED_CONTAINER_FILE)
  message(FATAL_ERROR "ORVO_EMBEDDED_CONTAINER_FILE names no container file")
endif()
cmake_path(ABSOLUTE_PATH ORVO_EMBEDDED_CONTAINER_FILE BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
           OUTPUT_VARIABLE embedded_container_file)

# The version resource carries the target version of product_config.h.
set(product_config ${CMAKE_CURRENT_SOURCE_DIR}/product_config.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${product_config})
file(STRINGS ${product_config} target_version_line REGEX "target_version = ")
if(NOT target_version_line MATCHES "\"([0-9]+)\\.([0-9]+)\\.([0-9]+)\"")
  message(FATAL_ERROR "No target_version \"a.b.c\" in ${product_config}")
endif()
set(patcher_version_text "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}")
set(patcher_version_numbers "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")

# Rewritten only when its content changes, which then rebuilds the resources.
set(patcher_resources_h ${CMAKE_CURRENT_BINARY_DIR}/patcher_resources.h)
file(CONFIGURE OUTPUT ${patcher_resources_h} @ONLY CONTENT [[
#define ORVO_EMBEDDED_CONTAINER_FILE "@embedded_container_file@"
#define ORVO_VERSION_TEXT "@patcher_version_text@"
#define ORVO_VERSION_NUMBERS @patcher_version_numbers@
]])

set(patcher_rc ${CMAKE_CURRENT_LIST_DIR}/patcher.rc)
target_sources(patcher PRIVATE ${patcher_rc})
# windres reads the files named in the script from the include directories; it reports none of
# them as dependencies.
set_source_files_properties(${patcher_rc} PROPERTIES
  INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR};${CMAKE_CURRENT_BINARY_DIR}"
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/patcher.ico;${CMAKE_CURRENT_LIST_DIR}/patcher.manifest;${patcher_resources_h};${embedded_container_file}")
if(TARGET orvo_embedded_container)
  add_dependencies(patcher orvo_embedded_container)
endif()
