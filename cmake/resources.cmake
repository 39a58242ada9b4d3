# zef_add_resources(<target> <generator source> [libraries the generator links...])
# Builds the generator program, runs it at build time and compiles the source file it writes
# into <target>, so that the target's resources are registered by name when it loads.
function(zef_add_resources target generator)
  set(gen ${target}_resgen)
  add_executable(${gen} ${generator})
  target_link_libraries(${gen} PRIVATE zef_platform ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(OUTPUT ${out} COMMAND ${gen} ${out} DEPENDS ${gen}
                     COMMENT "Drawing the resources of ${target}")
  target_sources(${target} PRIVATE ${out})
endfunction()
