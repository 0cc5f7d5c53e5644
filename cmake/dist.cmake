# Assembles the program folder a user gets, in <build>/dist: both programs,
# the help pages and an empty script folder (edition 1.0 does not make one).
set(TARVIX_DIST_OUTPUT ${CMAKE_BINARY_DIR}/dist)
set(dist_programs tarvix tarvix-classic)
if(TARGET hook)
  list(APPEND dist_programs hook)
endif()

set(dist_commands)
foreach(program IN LISTS dist_programs)
  list(APPEND dist_commands
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${program}> ${TARVIX_DIST_OUTPUT}/)
endforeach()

add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVIX_DIST_OUTPUT}/script
  ${dist_commands}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/res/help ${TARVIX_DIST_OUTPUT}/help
  DEPENDS ${dist_programs}
  COMMENT "Assembling the program folder in ${TARVIX_DIST_OUTPUT}"
  VERBATIM)
