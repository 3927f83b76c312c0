# The hardening Debian builds its packages with: the compile and link flags
# dpkg-buildflags gives with every hardening feature on (fortified C library
# calls, stack protector, format checks, read-only relocations resolved at
# start-up) and position-independent executables. On by default for an
# optimised GCC build where dpkg-buildflags exists, which is the build that is
# packaged; the clang trees of the sanitizers and the fuzzer, the emscripten
# build and the Windows build go without, and so does a Debug build, since
# fortification needs optimisation. Included by the top CMakeLists.txt before any target.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug" AND NOT WIN32)
  set(hardening_default ON)
else()
  set(hardening_default OFF)
endif()
option(TIDEWASH_HARDENING "Build with the hardening flags of dpkg-buildflags" ${hardening_default})

# One kind of flags from dpkg-buildflags (CPPFLAGS, CXXFLAGS, LDFLAGS), as a
# list. Its -g and -O2 are left out: the build type sets debugging and
# optimisation. So is the reproducibility feature, which maps the source
# path away from the debugging information.
function(tidewash_dpkg_buildflags kind result)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-all"
            "DEB_${kind}_MAINT_STRIP=-g -O2" ${DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${result} ${flags} PARENT_SCOPE)
endfunction()

if(TIDEWASH_HARDENING)
  if(NOT DPKG_BUILDFLAGS)
    message(FATAL_ERROR "TIDEWASH_HARDENING needs dpkg-buildflags (Debian's dpkg-dev)")
  endif()
  tidewash_dpkg_buildflags(CPPFLAGS preprocessor_flags)
  tidewash_dpkg_buildflags(CXXFLAGS compiler_flags)
  tidewash_dpkg_buildflags(LDFLAGS linker_flags)
  add_compile_options(${preprocessor_flags} ${compiler_flags})
  add_link_options(${linker_flags})

  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  string(JOIN " " all_flags ${preprocessor_flags} ${compiler_flags} ${linker_flags})
  message(STATUS "Hardening: ${all_flags}, position-independent executables")
endif()
