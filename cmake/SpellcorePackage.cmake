# What another project needs to build against spellcore: the exported targets
# (find_package(spellcore) gives spellcore::spellcore) and a pkg-config file. Both are
# relocatable, so they work from any prefix the install lands in.
include(CMakePackageConfigHelpers)

set(_spellcore_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/spellcore)
install(EXPORT spellcoreTargets NAMESPACE spellcore:: DESTINATION ${_spellcore_cmakedir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/spellcoreConfig.cmake.in
  ${PROJECT_BINARY_DIR}/spellcoreConfig.cmake INSTALL_DESTINATION ${_spellcore_cmakedir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/spellcoreConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/spellcoreConfig.cmake
              ${PROJECT_BINARY_DIR}/spellcoreConfigVersion.cmake
        DESTINATION ${_spellcore_cmakedir})

file(RELATIVE_PATH PAGELINT_PC_TO_PREFIX
  ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" PAGELINT_PC_TO_PREFIX "${PAGELINT_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/spellcore.pc.in ${PROJECT_BINARY_DIR}/spellcore.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/spellcore.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
