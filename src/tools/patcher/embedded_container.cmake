# The container the program carries: a given one, or the sample game's, made at build time.
#   ORVO_EMBEDDED_CONTAINER_FILE  absolute path of the container to embed
#   ORVO_SAMPLE_GAME_DIR          the sample game (1.13.1, 1.13.2, 1.13.3, release.txt, sample.ktlc),
#                                 set when a ktlpack can run on the build machine
#   orvo_embedded_container       target that brings ORVO_EMBEDDED_CONTAINER_FILE up to date
set(ORVO_EMBEDDED_CONTAINER "" CACHE FILEPATH "Signed container to embed (empty: the sample game's)")
set(ORVO_HOST_KTLPACK "" CACHE FILEPATH "ktlpack that runs on the build machine (needed when cross compiling)")

if(ORVO_HOST_KTLPACK)
  set(sample_ktlpack ${ORVO_HOST_KTLPACK})
  set(sample_ktlpack_dependency ${ORVO_HOST_KTLPACK})
elseif(NOT CMAKE_CROSSCOMPILING)
  set(sample_ktlpack $<TARGET_FILE:ktlpack>)
  set(sample_ktlpack_dependency ktlpack)
endif()

if(sample_ktlpack)
  set(sample_game_generator ${PROJECT_SOURCE_DIR}/scripts/sample_game.sh)
  set(sample_game_dir ${PROJECT_BINARY_DIR}/sample_game)
  add_custom_command(OUTPUT ${sample_game_dir}/sample.ktlc
    COMMAND ${sample_game_generator} ${sample_game_dir} ${sample_ktlpack}
    DEPENDS ${sample_game_generator} ${sample_ktlpack_dependency}
            ${PROJECT_SOURCE_DIR}/keys/dev-private.key ${PROJECT_SOURCE_DIR}/keys/dev-public.der
    COMMENT "Generating the sample game and its container"
    VERBATIM)
  add_custom_target(orvo_sample_game ALL DEPENDS ${sample_game_dir}/sample.ktlc)
  set(ORVO_SAMPLE_GAME_DIR ${sample_game_dir})
  set(ORVO_SAMPLE_GAME_DIR ${sample_game_dir} PARENT_SCOPE)
endif()

if(ORVO_EMBEDDED_CONTAINER)
  get_filename_component(embedded_file ${ORVO_EMBEDDED_CONTAINER} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  if(NOT EXISTS ${embedded_file})
    message(FATAL_ERROR "ORVO_EMBEDDED_CONTAINER: ${embedded_file} does not exist")
  endif()
elseif(sample_ktlpack)
  set(embedded_file ${sample_game_dir}/sample.ktlc)
  get_filename_component(public_key ${ORVO_PUBLIC_KEY} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  if(NOT public_key STREQUAL "${PROJECT_SOURCE_DIR}/keys/dev-public.der")
    message(WARNING "The sample container is signed with the development key, which ORVO_PUBLIC_KEY "
                    "(${ORVO_PUBLIC_KEY}) does not verify; set ORVO_EMBEDDED_CONTAINER")
  endif()
else()
  message(FATAL_ERROR "No ktlpack runs on this build machine to make the sample container: set "
                      "ORVO_EMBEDDED_CONTAINER to a signed container, or ORVO_HOST_KTLPACK to a "
                      "native ktlpack (scripts/build.sh passes build/native's)")
endif()

add_custom_target(orvo_embedded_container)
if(NOT ORVO_EMBEDDED_CONTAINER)
  add_dependencies(orvo_embedded_container orvo_sample_game)
endif()
set(ORVO_EMBEDDED_CONTAINER_FILE ${embedded_file})
set(ORVO_EMBEDDED_CONTAINER_FILE ${embedded_file} PARENT_SCOPE)
