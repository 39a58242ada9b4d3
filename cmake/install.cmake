# Package config for find_package(zef) and pkg-config files for each library.
include(CMakePackageConfigHelpers)

set(ZEF_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zef)
install(EXPORT zefTargets NAMESPACE zef:: DESTINATION ${ZEF_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zefConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/zefConfig.cmake INSTALL_DESTINATION ${ZEF_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/zefConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zefConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/zefConfigVersion.cmake
        DESTINATION ${ZEF_CMAKE_DIR})

# zef_pkgconfig(<library> <description> <required pkg-config modules>)
# The files locate the prefix relative to themselves, so an install with --prefix works too.
file(RELATIVE_PATH ZEF_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
string(REGEX REPLACE "/$" "" ZEF_PC_TO_PREFIX "${ZEF_PC_TO_PREFIX}")
function(zef_pkgconfig lib description requires)
  set(ZEF_PC_NAME zef-${lib})
  set(ZEF_PC_LIB zef_${lib})
  set(ZEF_PC_DESCRIPTION "${description}")
  set(ZEF_PC_REQUIRES "${requires}")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/zef.pc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/zef-${lib}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zef-${lib}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

zef_pkgconfig(platform "ZEF platform layer: run-time library, classes, graphics and controls" "")
zef_pkgconfig(foundation "ZEF foundation: shared types, formatting, files and colours" "zef-platform")
zef_pkgconfig(numerics "ZEF numerics: matrices, vectors, data table, curve fitting" "zef-platform")

get_property(ZEF_DELIVERABLE_LIST GLOBAL PROPERTY ZEF_DELIVERABLES)
foreach(entry IN LISTS ZEF_DELIVERABLE_LIST)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 lib)
  list(GET parts 1 description)
  zef_pkgconfig(${lib} "${description}" "zef-foundation zef-numerics")
endforeach()
