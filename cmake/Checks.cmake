# Robustness checks, built in a tree of their own with clang:
#   CC=clang CXX=clang++ cmake -S . -B build-checks -DTIDEWASH_TESTS=OFF -DTIDEWASH_CHECKS=ON \
#       -DTIDEWASH_MEMCHECK_DEMO=$PWD/build/live/tidewash
#   cmake --build build-checks --target checks && ctest --test-dir build-checks
# In that tree the demo and its libraries are built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the tests are: a short libFuzzer run on the
# audio layer, the replay of every input the fuzzer ever crashed on, the whole
# schedule under the sanitizers with an OpenGL error check after every frame,
# and a short run of an unsanitized demo (the one named by
# TIDEWASH_MEMCHECK_DEMO) under valgrind's memcheck.
option(TIDEWASH_CHECKS "Build the sanitized demo, the audio fuzzer and the run-time checks (clang only)" OFF)
set(TIDEWASH_MEMCHECK_DEMO "" CACHE FILEPATH "An unsanitized demo executable for the valgrind run")

if(TIDEWASH_CHECKS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The checks need clang for libFuzzer: configure with CC=clang CXX=clang++")
  endif()

  # Any sanitizer finding ends the process at once.
  set(TIDEWASH_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  # Whatever links the libraries links the sanitizer runtime with them.
  foreach(library tidewash_assets tidewash_render tidewash_audio tidewash_scenes tidewash_runtime tidewash_window tidewash_live)
    target_compile_options(${library} PRIVATE ${TIDEWASH_SANITIZERS})
    target_link_options(${library} INTERFACE ${TIDEWASH_SANITIZERS})
  endforeach()
  target_compile_options(tidewash PRIVATE ${TIDEWASH_SANITIZERS})

  enable_testing()
  add_custom_target(checks)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/fuzz ${CMAKE_BINARY_DIR}/tests/fuzz)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/checks ${CMAKE_BINARY_DIR}/tests/checks)
endif()
