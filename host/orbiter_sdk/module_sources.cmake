# The sources of the module for the real host, from the repository at
# TARVIK_ROOT: every part of the module, less what the simulated host's
# build alone needs (its stand-in for the SDK's glue library, the version
# entry point that glue library exports, and the string resources in an ELF
# section), plus the bridge to the SDK.
file(GLOB TARVIK_MODULE_SOURCES
  ${TARVIK_ROOT}/route/*.cpp ${TARVIK_ROOT}/nav/*.cpp ${TARVIK_ROOT}/mfd/*.cpp
  ${TARVIK_ROOT}/module/*.cpp ${TARVIK_ROOT}/host/*.cpp)
list(FILTER TARVIK_MODULE_SOURCES EXCLUDE REGEX "module/(library_glue|module_version|module_strings)\\.cpp$")
set(TARVIK_BINDING_SOURCES
  ${TARVIK_ROOT}/host/orbiter_sdk/module_side_host.cpp
  ${TARVIK_ROOT}/host/orbiter_sdk/module_side_display.cpp
  ${TARVIK_ROOT}/host/orbiter_sdk/sketchpad_clip.cpp
  ${TARVIK_ROOT}/host/orbiter_sdk/sdk_side.cpp)
# Windows: the folder search over the Windows API instead of the POSIX one,
# and the POSIX names the sources use, given to every source before its
# first line (TARVIK_FORCED_INCLUDE).
set(TARVIK_FORCED_INCLUDE "")
if(WIN32)
  list(FILTER TARVIK_MODULE_SOURCES EXCLUDE REGEX "host/platform\\.cpp$")
  list(APPEND TARVIK_BINDING_SOURCES
    ${TARVIK_ROOT}/host/orbiter_sdk/module_side_platform.cpp
    ${TARVIK_ROOT}/host/orbiter_sdk/windows_side.cpp)
  set(TARVIK_FORCED_INCLUDE ${TARVIK_ROOT}/host/orbiter_sdk/posix_names.h)
endif()
