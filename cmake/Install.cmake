# The suite as a library for other programs: the libraries, their public headers, the form
# tool, the SQLite extension, a CMake package and a pkg-config file, so that another project
# writes
#   find_package(ZopFileDB CONFIG REQUIRED COMPONENTS zopfiledb recordserver)
#   target_link_libraries(app PRIVATE ZopFileDB::zopfiledb ZopFileDB::recordserver)
# or, without CMake, `pkg-config --cflags --libs zopfiledb`.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The libraries in link order (a library before those it stands on). Their files carry the
# suite's prefix, so that they can sit in a system folder beside others' libraries
# (libzopfiledb_com, not libcom); the targets keep their names inside the build.
set(ZOPFILEDB_LIBRARIES zopfiledb_design framework_design zopfiledb recordserver ostrel_tlb com framework_db
                        framework_ui framework_core)
set(ZOPFILEDB_LIBRARY_FILES "")
foreach(lib IN LISTS ZOPFILEDB_LIBRARIES)
  if(lib MATCHES "^zopfiledb")
    set(file_name ${lib})
  else()
    set(file_name zopfiledb_${lib})
  endif()
  list(APPEND ZOPFILEDB_LIBRARY_FILES ${file_name})
  # Shared libraries are versioned (libzopfiledb.so.1 -> libzopfiledb.so.1.0.0) and find their
  # siblings in their own folder.
  set_target_properties(${lib} PROPERTIES OUTPUT_NAME ${file_name} VERSION ${PROJECT_VERSION}
                                          SOVERSION ${PROJECT_VERSION_MAJOR} INSTALL_RPATH "$ORIGIN")
endforeach()
set_target_properties(zopfiledb-form PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

set(ZOPFILEDB_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/zopfiledb)
install(TARGETS ${ZOPFILEDB_LIBRARIES} EXPORT ZopFileDBTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${ZOPFILEDB_INCLUDE_DIR})
# The SQLite extension is loaded by its path (`.load <libdir>/zopfiledb/zopfiledb_sqlite`).
install(TARGETS zopfiledb_sqlite EXPORT ZopFileDBTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/zopfiledb)
install(TARGETS zopfiledb-form RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The compiled translations, beside the libraries (framework_ui carries the same compiled in).
install(FILES ${ZOPFILEDB_QM_FILES} DESTINATION ${CMAKE_INSTALL_LIBDIR}/zopfiledb/translations)

# The public headers keep their paths from the repository root ("components/UZopFileDataSet.h").
# Of the server, a program needs only its registration; the rest is its inside. The API
# reference (Docs.cmake) is made from the same headers.
set(ZOPFILEDB_PUBLIC_HEADER_DIRS framework com interface components design)
set(ZOPFILEDB_PUBLIC_SERVER_HEADERS server/RegisterFileDataSetServer.h)
install(DIRECTORY ${ZOPFILEDB_PUBLIC_HEADER_DIRS}
  DESTINATION ${ZOPFILEDB_INCLUDE_DIR}
  FILES_MATCHING PATTERN "*.h"
  PATTERN "formtool" EXCLUDE)
install(FILES ${ZOPFILEDB_PUBLIC_SERVER_HEADERS} DESTINATION ${ZOPFILEDB_INCLUDE_DIR}/server)
install(FILES README.md server/SchemaFormat.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zopfiledb)

# The CMake package: the targets under ZopFileDB::, the packages they need, the form files'
# helper, and the version.
set(ZOPFILEDB_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZopFileDB)
list(JOIN ZOPFILEDB_LIBRARIES ", " ZOPFILEDB_COMPONENTS)
string(APPEND ZOPFILEDB_COMPONENTS ", zopfiledb_sqlite")
install(EXPORT ZopFileDBTargets NAMESPACE ZopFileDB:: DESTINATION ${ZOPFILEDB_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZopFileDBConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfig.cmake
  INSTALL_DESTINATION ${ZOPFILEDB_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/ZopFileDBConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ZopFileDBForms.cmake
  DESTINATION ${ZOPFILEDB_CMAKE_DIR})

# The pkg-config file finds its prefix from its own place, so that the installed tree may move
# (an unpacked package, a prefix given at install time).
set(ZOPFILEDB_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZOPFILEDB_PC_TO_PREFIX /prefix/${ZOPFILEDB_PKGCONFIG_DIR} /prefix)
string(REGEX REPLACE "/$" "" ZOPFILEDB_PC_TO_PREFIX "${ZOPFILEDB_PC_TO_PREFIX}")
list(TRANSFORM ZOPFILEDB_LIBRARY_FILES PREPEND "-l" OUTPUT_VARIABLE ZOPFILEDB_PC_LIBS)
list(JOIN ZOPFILEDB_PC_LIBS " " ZOPFILEDB_PC_LIBS)
# The headers include Qt's; static archives also need the libraries the server links.
set(ZOPFILEDB_PC_REQUIRES "Qt6Widgets")
set(ZOPFILEDB_PC_REQUIRES_PRIVATE "sqlite3 libpq")
if(NOT BUILD_SHARED_LIBS)
  set(ZOPFILEDB_PC_REQUIRES "Qt6Widgets sqlite3 libpq")
  set(ZOPFILEDB_PC_REQUIRES_PRIVATE "")
  string(APPEND ZOPFILEDB_PC_LIBS " -pthread")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/zopfiledb.pc.in ${CMAKE_CURRENT_BINARY_DIR}/zopfiledb.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zopfiledb.pc DESTINATION ${ZOPFILEDB_PKGCONFIG_DIR})
