# Sanitizer builds and fuzz targets, for developers before they land reader
# or kernel changes (CI keeps the plain build):
#
#   -DQS_SANITIZE=address,undefined   every target built and linked with those
#                                     sanitizers; undefined behaviour is fatal
#   -DQS_FUZZ=ON                      the fuzz targets of tests/fuzz: libFuzzer
#                                     programs with Clang, seed-replay programs
#                                     with any other compiler
#
# scripts/sanitize and scripts/fuzz configure, build and run both.
set(QS_SANITIZE "" CACHE STRING "Sanitizers to build with, comma-separated (address,undefined); empty for none")
option(QS_FUZZ "Build the fuzz targets under tests/fuzz" OFF)

if(QS_SANITIZE)
  add_compile_options(-fsanitize=${QS_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${QS_SANITIZE})
  string(REPLACE "," ";" qs_sanitizers "${QS_SANITIZE}")
  if("undefined" IN_LIST qs_sanitizers)
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

if(QS_FUZZ)
  # With Clang every library is instrumented for libFuzzer's coverage.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()  # the top CMakeLists adds tests/fuzz after every library
