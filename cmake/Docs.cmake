# The API reference from the public headers, with Doxygen: `cmake --build <dir> --target docs`
# (or `./run docs`) writes <dir>/docs/api/html. A warning fails the target.
find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  set(ZOPFILEDB_DOCS_OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/docs/api)
  set(ZOPFILEDB_DOCS_INPUT ${PROJECT_SOURCE_DIR}/docs/api/mainpage.md)
  foreach(path IN LISTS ZOPFILEDB_PUBLIC_HEADER_DIRS ZOPFILEDB_PUBLIC_SERVER_HEADERS)
    string(APPEND ZOPFILEDB_DOCS_INPUT " ${PROJECT_SOURCE_DIR}/${path}")
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/docs/api/Doxyfile.in ${ZOPFILEDB_DOCS_OUTPUT}/Doxyfile @ONLY)
  add_custom_target(docs
    COMMAND Doxygen::doxygen ${ZOPFILEDB_DOCS_OUTPUT}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Writing the API reference into ${ZOPFILEDB_DOCS_OUTPUT}/html"
    VERBATIM)
else()
  add_custom_target(docs
    COMMAND ${CMAKE_COMMAND} -E echo "Doxygen was not found: install the doxygen package (./run docs does)."
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
