# The sources of the module for the real host, from the repository at
# TARVIK_ROOT: every part of the module, without the simulated host's glue,
# plus the bridge to the SDK.
include(${TARVIK_ROOT}/cmake/module_sources.cmake)
set(TARVIK_MODULE_SOURCES ${TARVIK_ROUTE_SOURCES} ${TARVIK_NAV_SOURCES} ${TARVIK_MFD_SOURCES}
  ${TARVIK_MODULE_ENTRY_SOURCES} ${TARVIK_PLATFORM_SOURCES})
set(TARVIK_BINDING_SOURCES
  ${TARVIK_ROOT}/bindings/orbiter_sdk/module_side_host.cpp
  ${TARVIK_ROOT}/bindings/orbiter_sdk/module_side_display.cpp
  ${TARVIK_ROOT}/bindings/orbiter_sdk/sketchpad_clip.cpp
  ${TARVIK_ROOT}/bindings/orbiter_sdk/sdk_side.cpp)
# Windows: the folder search over the Windows API instead of the POSIX one,
# and the POSIX names the sources use, given to every source before its
# first line (TARVIK_FORCED_INCLUDE).
set(TARVIK_FORCED_INCLUDE "")
if(WIN32)
  list(APPEND TARVIK_BINDING_SOURCES
    ${TARVIK_ROOT}/bindings/orbiter_sdk/module_side_platform.cpp
    ${TARVIK_ROOT}/bindings/orbiter_sdk/windows_side.cpp)
  set(TARVIK_FORCED_INCLUDE ${TARVIK_ROOT}/bindings/orbiter_sdk/posix_names.h)
else()
  list(APPEND TARVIK_MODULE_SOURCES ${TARVIK_POSIX_PLATFORM_SOURCES})
endif()
