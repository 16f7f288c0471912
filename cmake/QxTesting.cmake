# GoogleTest from the distribution's sources, built with whichever toolchain is active.
set(gtest_disable_pthreads ${WIN32} CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(WIN32)
  # Test programs link ordinary code (cmake/QxShipping.cmake): no LTO form to carry.
  set_property(TARGET gtest gtest_main gmock gmock_main APPEND PROPERTY COMPILE_OPTIONS -fno-lto)
endif()
include(GoogleTest)

# A native test program: each TEST becomes its own ctest entry.
function(qx_native_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE gtest_main gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
endfunction()

# A Windows test program: one ctest entry for the whole program, run under Wine
# (Xvfb and the prefix are prepared by the launcher on first use). Its main creates the
# application object (tests/windows/test_main.cpp).
function(qx_windows_test name)
  add_executable(${name} ${ARGN} ${CMAKE_SOURCE_DIR}/tests/windows/test_main.cpp)
  target_link_libraries(${name} PRIVATE gtest gmock qxframework qxskin)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/windows)
  add_test(NAME ${name} COMMAND ${QX_WINE_RUN} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES LABELS wine RESOURCE_LOCK wine_display
    ENVIRONMENT "QX_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()
