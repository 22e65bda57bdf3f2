# Instrumented builds, each in a build folder of its own.
#
# BRINDLEWICK_SANITIZE builds everything with AddressSanitizer (leak detection included) and
# UndefinedBehaviorSanitizer. BRINDLEWICK_FUZZ, with clang only, does the same and adds
# libFuzzer's coverage instrumentation and the fuzz targets of fuzz/. Either way any report ends
# the program with a failure: nothing is recovered from.
option(BRINDLEWICK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(BRINDLEWICK_FUZZ "Build the libFuzzer targets of fuzz/ (clang only)" OFF)

if(BRINDLEWICK_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "BRINDLEWICK_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

if(BRINDLEWICK_SANITIZE OR BRINDLEWICK_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(BRINDLEWICK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
