# kolbrik_optional_package(PACKAGE WHAT DEBIAN_PACKAGE [find_package options])
# looks for a package that only some tests or the benchmarks need. Without
# it they are left out with a message, and the rest builds; under CI (the
# environment variable CI set, as .ci/run does) a missing package is an
# error, so that CI never passes without running them. scripts/deps.sh
# installs every such package.
macro(kolbrik_optional_package package what debian)
  if(DEFINED ENV{CI} AND NOT "$ENV{CI}" STREQUAL "" AND NOT "$ENV{CI}" STREQUAL "0")
    find_package(${package} ${ARGN} REQUIRED)
  else()
    find_package(${package} ${ARGN} QUIET)
    if(NOT ${package}_FOUND)
      message(STATUS "${package} not found: leaving out ${what} (the Debian package ${debian} has it; "
                     "scripts/deps.sh installs it)")
    endif()
  endif()
endmacro()
