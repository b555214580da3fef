# The suite as a library for other programs: the libraries, their headers and the form
# tool, and a CMake package, so that another project writes
#   find_package(ZopFileDB CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE ZopFileDB::zopfiledb ZopFileDB::recordserver)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZOPFILEDB_LIBRARIES framework_core framework_ui framework_db framework_design com ostrel_tlb recordserver
                        zopfiledb zopfiledb_design)
install(TARGETS ${ZOPFILEDB_LIBRARIES} EXPORT ZopFileDBTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zopfiledb)
install(TARGETS zopfiledb-form RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Headers keep their paths from the repository root ("components/UZopFileDataSet.h").
install(DIRECTORY framework com interface components server design
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zopfiledb
  FILES_MATCHING PATTERN "*.h")

set(ZOPFILEDB_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZopFileDB)
install(EXPORT ZopFileDBTargets NAMESPACE ZopFileDB:: DESTINATION ${ZOPFILEDB_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZopFileDBConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfig.cmake
  INSTALL_DESTINATION ${ZOPFILEDB_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfigVersion.cmake
  VERSION 1.0.0 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfigVersion.cmake
  DESTINATION ${ZOPFILEDB_CMAKE_DIR})
