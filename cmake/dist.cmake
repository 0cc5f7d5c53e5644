# Assembles the program folder a user gets, in <build>/dist: both programs,
# hook.dll, the help pages and the script folder with the example script; and
# the archive of it, <build>/tarvix-<version>.zip, whose one top folder is
# "tarvix".
set(TARVIX_DIST_OUTPUT ${CMAKE_BINARY_DIR}/dist)
set(TARVIX_ARCHIVE ${CMAKE_BINARY_DIR}/tarvix-${PROJECT_VERSION}.zip)
set(TARVIX_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
set(dist_programs tarvix tarvix-classic)
if(TARGET hook)
  list(APPEND dist_programs hook)
endif()

set(dist_commands)
foreach(program IN LISTS dist_programs)
  list(APPEND dist_commands
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${program}> ${TARVIX_DIST_OUTPUT}/)
endforeach()

file(GLOB dist_examples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/examples/*.txt)
file(GLOB dist_help CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/help/*)

add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVIX_DIST_OUTPUT}/script
  ${dist_commands}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/res/help ${TARVIX_DIST_OUTPUT}/help
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dist_examples} ${TARVIX_DIST_OUTPUT}/script/
  # The archive from a clean copy, so that nothing a test run left in the
  # folder goes into it.
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TARVIX_PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVIX_PACKAGE_STAGE}/tarvix/script ${TARVIX_PACKAGE_STAGE}/tarvix/help
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarvix> $<TARGET_FILE:tarvix-classic> $<TARGET_FILE:hook>
          ${TARVIX_PACKAGE_STAGE}/tarvix/
  COMMAND ${CMAKE_COMMAND} -E copy ${dist_help} ${TARVIX_PACKAGE_STAGE}/tarvix/help/
  COMMAND ${CMAKE_COMMAND} -E copy ${dist_examples} ${TARVIX_PACKAGE_STAGE}/tarvix/script/
  COMMAND ${CMAKE_COMMAND} -E chdir ${TARVIX_PACKAGE_STAGE} ${CMAKE_COMMAND} -E tar cf ${TARVIX_ARCHIVE} --format=zip tarvix
  DEPENDS ${dist_programs} ${dist_examples} ${dist_help}
  COMMENT "Assembling the program folder in ${TARVIX_DIST_OUTPUT} and ${TARVIX_ARCHIVE}"
  VERBATIM)
