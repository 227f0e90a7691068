# The fuzz tree (ZSETUP_FUZZ): clang with libFuzzer, address and
# undefined-behaviour sanitizers. Everything it builds carries the coverage
# instrumentation; only the fuzz targets link libFuzzer's main.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ZSETUP_FUZZ needs clang with libFuzzer (CMAKE_CXX_COMPILER=clang++), not ${CMAKE_CXX_COMPILER_ID}")
endif()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] ZSETUP_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
if(NOT ZSETUP_HAVE_LIBFUZZER)
  message(FATAL_ERROR "ZSETUP_FUZZ: ${CMAKE_CXX_COMPILER} cannot link -fsanitize=fuzzer (install libclang-rt-14-dev)")
endif()

# -O1 as libFuzzer advises; assertions stay on, so a library's own
# precondition checks (toml++'s) count as findings too.
add_compile_options(-O1 -g -UNDEBUG -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
