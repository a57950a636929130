# Links ORVO_EMBEDDED_CONTAINER_FILE into the program as the section .orvo.container, assembled
# by the target's C compiler; a changed container reassembles the section and relinks.
enable_language(ASM)
if(ORVO_EMBEDDED_CONTAINER_FILE MATCHES "[\"\\\\\n]")
  message(FATAL_ERROR "The embedded container's path cannot contain quotes, backslashes or newlines: ${ORVO_EMBEDDED_CONTAINER_FILE}")
endif()
set(container_data_source ${CMAKE_CURRENT_BINARY_DIR}/container_data.S)
configure_file(${CMAKE_CURRENT_LIST_DIR}/container_data.S.in ${container_data_source} @ONLY)
set_source_files_properties(${container_data_source} PROPERTIES OBJECT_DEPENDS ${ORVO_EMBEDDED_CONTAINER_FILE})
target_sources(patcher PRIVATE ${container_data_source})
add_dependencies(patcher orvo_embedded_container)
