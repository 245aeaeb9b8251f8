# The module's sources, listed once for every build that compiles them: the
# simulated host's (top CMakeLists.txt), the real host's
# (bindings/orbiter_sdk) and the real-host checks. Paths from TARVIK_ROOT.
set(TARVIK_ROUTE_SOURCES
  ${TARVIK_ROOT}/route/field_numbers.cpp
  ${TARVIK_ROOT}/route/route_file_reader.cpp
  ${TARVIK_ROOT}/route/route_records.cpp
  ${TARVIK_ROOT}/route/section_text.cpp)
set(TARVIK_NAV_SOURCES
  ${TARVIK_ROOT}/nav/route_registry.cpp
  ${TARVIK_ROOT}/nav/surface_geometry.cpp
  ${TARVIK_ROOT}/nav/waypoint_sequencing.cpp)
set(TARVIK_MFD_SOURCES
  ${TARVIK_ROOT}/mfd/button_tables.cpp
  ${TARVIK_ROOT}/mfd/map_page.cpp
  ${TARVIK_ROOT}/mfd/tarvik_mfd.cpp
  ${TARVIK_ROOT}/mfd/text_pages.cpp)
set(TARVIK_MODULE_ENTRY_SOURCES
  ${TARVIK_ROOT}/module/entry_points.cpp
  ${TARVIK_ROOT}/module/module_object.cpp)
# The folder search over the host platform's directory calls, and those
# calls over POSIX; the Windows build has the Windows API instead.
set(TARVIK_PLATFORM_SOURCES ${TARVIK_ROOT}/platform/folder_search.cpp)
set(TARVIK_POSIX_PLATFORM_SOURCES ${TARVIK_ROOT}/platform/platform.cpp)
# What the SDK's glue library and resource compiler give the module in the
# real host, written for the simulated host.
# The library's entry function stands apart: it runs when the library loads.
set(TARVIK_SIM_LIBRARY_ENTRY_SOURCES ${TARVIK_ROOT}/module/sim_glue/library_glue.cpp)
set(TARVIK_SIM_GLUE_SOURCES
  ${TARVIK_ROOT}/module/sim_glue/module_strings.cpp
  ${TARVIK_ROOT}/module/sim_glue/module_version.cpp)
# The simulated host itself.
set(TARVIK_SIMHOST_SOURCES
  ${TARVIK_ROOT}/simhost/host_functions.cpp
  ${TARVIK_ROOT}/simhost/host_log.cpp
  ${TARVIK_ROOT}/simhost/module_loader.cpp
  ${TARVIK_ROOT}/simhost/sim_host.cpp)
