# Puts the built suite into a fresh root as a user gets it, then builds and runs programs
# against it. Variables:
#   FROM          "install" (cmake --install BUILD_DIR into a prefix) or "deb" (the Debian
#                 package PACKAGE, or the one CPack makes from BUILD_DIR, unpacked with dpkg-deb)
#   WORK_DIR      a folder of the test's own, emptied first
#   CONSUMER_DIR  a CMake project that uses the package (default: the orders example,
#                 examples/orders); PROGRAM its executable (orders), which is run in its build
#                 folder with PROGRAM_ARGS and must print EXPECT ("orders ok"); "@PICTURE@" in
#                 PROGRAM_ARGS stands for WORK_DIR/PROGRAM.png, a picture the program saves,
#                 which is kept as screenshots/library_PROGRAM_FROM.png in BUILD_DIR (if given)
#   CXX_FLAGS     compiler and linker flags for what is built here (the sanitizers)
#   SQLITE3       the sqlite3 shell (default: found on the PATH)
cmake_minimum_required(VERSION 3.25)
if(NOT CONSUMER_DIR)
  get_filename_component(CONSUMER_DIR ${CMAKE_CURRENT_LIST_DIR}/../../examples/orders ABSOLUTE)
  set(PROGRAM orders)
  set(PROGRAM_ARGS "--screenshot;@PICTURE@")
  set(EXPECT "orders ok")
endif()
if(NOT SQLITE3)
  find_program(SQLITE3 sqlite3 REQUIRED)
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake)

if(FROM STREQUAL "install")
  run("Installing the suite" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/root)
  set(PREFIX ${WORK_DIR}/root)
elseif(FROM STREQUAL "deb")
  if(PACKAGE)
    set(Packages ${PACKAGE})
  else()
    # Uncompressed: what is checked here is the package's content, and compressing the
    # build's unstripped libraries takes longer than the rest of the test.
    run("Making the Debian package" ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/package
        -D CPACK_DEBIAN_COMPRESSION_TYPE=none)
    file(GLOB Packages ${WORK_DIR}/package/*.deb)
    list(LENGTH Packages Count)
    if(NOT Count EQUAL 1)
      message(FATAL_ERROR "CPack made ${Count} Debian packages instead of one: ${Packages}")
    endif()
  endif()
  run("Reading the package's control file" dpkg-deb --field ${Packages} Package Version Depends)
  if(NOT LAST_OUTPUT MATCHES "Package: zopfiledb" OR NOT LAST_OUTPUT MATCHES "Depends:.*qt6-base-dev")
    message(FATAL_ERROR "The package's control file lacks its name or its dependencies:\n${LAST_OUTPUT}")
  endif()
  run("Unpacking the package" dpkg-deb -x ${Packages} ${WORK_DIR}/root)
  set(PREFIX ${WORK_DIR}/root/usr)
else()
  message(FATAL_ERROR "FROM is \"${FROM}\"; expected install or deb")
endif()

# Every library file carries the suite's prefix, so that it can sit in a system folder.
file(GLOB_RECURSE Libraries ${PREFIX}/lib*/lib*.a ${PREFIX}/lib*/lib*.so*)
if(NOT Libraries)
  message(FATAL_ERROR "No library was installed under ${PREFIX}")
endif()
foreach(Library IN LISTS Libraries)
  get_filename_component(Name ${Library} NAME)
  if(NOT Name MATCHES "^libzopfiledb")
    message(FATAL_ERROR "The library ${Library} does not carry the suite's prefix (libzopfiledb)")
  endif()
endforeach()

# The shared libraries of an unpacked root are found through the programs' own paths (CMake)
# or this one (pkg-config).
file(GLOB_RECURSE PcFiles ${PREFIX}/zopfiledb.pc)
list(LENGTH PcFiles Count)
if(NOT Count EQUAL 1)
  message(FATAL_ERROR "Expected one zopfiledb.pc under ${PREFIX}, found: ${PcFiles}")
endif()
get_filename_component(PcDir ${PcFiles} DIRECTORY)
get_filename_component(LibDir ${PcDir} DIRECTORY)
set(ENV{LD_LIBRARY_PATH} "${LibDir}:$ENV{LD_LIBRARY_PATH}")

# The CMake package: the consumer project, built and run.
run("Configuring the consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${PREFIX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run("Building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
set(Picture ${WORK_DIR}/${PROGRAM}.png)
string(REPLACE "@PICTURE@" "${Picture}" Args "${PROGRAM_ARGS}")
execute_process(COMMAND ${WORK_DIR}/build/${PROGRAM} ${Args} WORKING_DIRECTORY ${WORK_DIR}/build
                RESULT_VARIABLE Result OUTPUT_VARIABLE Out ERROR_VARIABLE Err)
if(NOT Result EQUAL 0 OR NOT Out MATCHES "${EXPECT}")
  message(FATAL_ERROR "The consumer did not say \"${EXPECT}\" (${Result}):\n${Out}\n${Err}")
endif()
message(STATUS "${Out}")
if(PROGRAM_ARGS MATCHES "@PICTURE@")
  if(NOT EXISTS ${Picture})
    message(FATAL_ERROR "The consumer saved no picture at ${Picture}")
  endif()
  if(BUILD_DIR)
    file(MAKE_DIRECTORY ${BUILD_DIR}/screenshots)
    file(COPY_FILE ${Picture} ${BUILD_DIR}/screenshots/library_${PROGRAM}_${FROM}.png)
  endif()
endif()

# A component the package does not have is refused, naming the ones it has.
file(WRITE ${WORK_DIR}/unknown/CMakeLists.txt
  "cmake_minimum_required(VERSION 3.25)\nproject(Unknown LANGUAGES CXX)\n"
  "find_package(ZopFileDB CONFIG REQUIRED COMPONENTS zopfiledb nosuchpart)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/unknown -B ${WORK_DIR}/unknown/build -DCMAKE_PREFIX_PATH=${PREFIX}
                RESULT_VARIABLE Result OUTPUT_VARIABLE Out ERROR_VARIABLE Err)
string(REGEX REPLACE "[ \n]+" " " Err "${Err}")  # CMake wraps its messages
if(Result EQUAL 0 OR NOT Err MATCHES "has no component \"nosuchpart\"; its components are: .*recordserver,")
  message(FATAL_ERROR "An unknown component was not refused as expected (${Result}):\n${Out}\n${Err}")
endif()

# pkg-config: a program that includes every installed header (a public header that includes
# one that was not installed fails here) and registers the server, the components and the
# design-time support.
file(GLOB_RECURSE Headers RELATIVE ${PREFIX}/include/zopfiledb ${PREFIX}/include/zopfiledb/*.h)
set(Includes "")
foreach(Header IN LISTS Headers)
  string(APPEND Includes "#include \"${Header}\"\n")
endforeach()
file(READ ${CMAKE_CURRENT_LIST_DIR}/HeadersProgram.cpp.in Main)
file(WRITE ${WORK_DIR}/headers/main.cpp "${Includes}${Main}")
set(ENV{PKG_CONFIG_PATH} ${PcDir})
run("Asking pkg-config" pkg-config --cflags --libs zopfiledb)
string(STRIP "${LAST_OUTPUT}" PkgFlags)
separate_arguments(PkgFlags UNIX_COMMAND "${PkgFlags}")
separate_arguments(Flags UNIX_COMMAND "${CXX_FLAGS}")
run("Building with pkg-config" c++ -std=c++20 ${Flags} ${WORK_DIR}/headers/main.cpp -o ${WORK_DIR}/headers/program ${PkgFlags})
run("Running the pkg-config program" ${WORK_DIR}/headers/program)
if(NOT LAST_OUTPUT MATCHES "headers ok")
  message(FATAL_ERROR "The pkg-config program did not finish: ${LAST_OUTPUT}")
endif()

# The SQLite extension loads into the shell from where it was installed.
file(GLOB_RECURSE Extension ${PREFIX}/zopfiledb_sqlite.so)
if(NOT Extension)
  message(FATAL_ERROR "The SQLite extension was not installed under ${PREFIX}")
endif()
run("Loading the SQLite extension" ${SQLITE3} :memory: ".load ${Extension}" "SELECT '13' = '13.0' COLLATE zfd_number;")
if(NOT LAST_OUTPUT MATCHES "^1")
  message(FATAL_ERROR "The extension's collation did not take 13 and 13.0 for one number: ${LAST_OUTPUT}")
endif()
