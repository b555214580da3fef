# The fuzz configuration. Where the compiler has libFuzzer (clang), the fuzz targets in
# tests/fuzz are built with it, and the libraries they test are instrumented for coverage
# (-fsanitize=fuzzer-no-link), so that the fuzzer sees which branches of the parsers an input
# reached, not only those of the small harness. Every program is then linked with the
# coverage runtime, since it may link an instrumented library. Elsewhere (GCC) the targets
# use a driver of ours (tests/fuzz/FuzzDriver.cpp) and nothing is instrumented.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer")
check_cxx_source_compiles("#include <cstddef>
#include <cstdint>
extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }" HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

if(HAVE_LIBFUZZER)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()

# Instruments the named libraries in the fuzz configuration; elsewhere it does nothing.
function(fuzz_instrument)
  if(HAVE_LIBFUZZER)
    foreach(library ${ARGN})
      target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
    endforeach()
  endif()
endfunction()
