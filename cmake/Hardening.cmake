# The hardening Debian builds its packages with: dpkg-buildflags' flags with every hardening
# feature on (fortified C library calls, stack protector, format checks, relocations read-only
# and bound at start-up), without its debug, optimisation and file-path flags, which the build
# type sets. Fortifying is raised to level 3 (GCC 12), which also checks the copies whose sizes
# are known only at run time, as this program's are: level 2, which Debian 12 gives, finds none
# of them to check. The sanitizer and fuzz builds instrument the code instead, and fortifying
# needs optimisation, so those and Debug builds go without. Without dpkg-buildflags (dpkg-dev)
# the build is not hardened.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS OR BRINDLEWICK_SANITIZE OR BRINDLEWICK_FUZZ
   OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()

foreach(area CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-all"
            "DEB_CXXFLAGS_MAINT_STRIP=-g -O2" "DEB_CPPFLAGS_MAINT_STRIP=-D_FORTIFY_SOURCE=2"
            "DEB_CPPFLAGS_MAINT_APPEND=-D_FORTIFY_SOURCE=3" ${DPKG_BUILDFLAGS} --get ${area}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  if(area STREQUAL "LDFLAGS")
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
endforeach()
