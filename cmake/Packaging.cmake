# A Debian package of what `cmake --install` installs, made by CPack (`cpack -G DEB` in the
# build folder; `./run package` makes it from a Release build of shared libraries installed
# under /usr). It is a development package: the headers and the CMake package need Qt's,
# SQLite's and libpq's development files.
set(CPACK_PACKAGE_NAME zopfiledb)
set(CPACK_PACKAGE_VENDOR "ZopFileDB")
set(CPACK_PACKAGE_CONTACT "ZopFileDB developers <zopfiledb@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data-aware desktop components on Qt 6 with a record-storage server")
set(CPACK_PACKAGE_DESCRIPTION "A dataset, a data source, bound edits and texts, a navigator and a grid, on a
component framework drawn through Qt 6 Widgets, with an in-process record-storage server on SQLite or
PostgreSQL; the libraries, their headers, a CMake package, a pkg-config file, the form tool and a
SQLite extension for the table files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-base-dev, libsqlite3-dev, libpq-dev")
# The form tool's and the shared libraries' own needs come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES OFF)
include(CPack)
