# The tests of the Windows build (included by CMakeLists.txt there): the
# same test sources as on Linux, cross-built and run by ctest under Wine
# through the emulator (cmake/wine-run.sh, set up by the top level).

if(NOT COFFER_WINE)
  message(WARNING "No Wine here: the Windows test programs are not built")
  return()
endif()

# GoogleTest from the sources Debian ships, built for this target (it
# names its targets GTest::gtest and GTest::gtest_main itself).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# The Wine prefix, made once per build tree; waiting for the wineserver to
# end leaves nothing running behind the build.
add_custom_command(OUTPUT ${COFFER_WINE_PREFIX}/system.reg
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot -i
  COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${COFFER_WINE_PREFIX} wineserver -w
  COMMENT "Making the Wine prefix ${COFFER_WINE_PREFIX}" VERBATIM)
add_custom_target(wine_prefix ALL DEPENDS ${COFFER_WINE_PREFIX}/system.reg)

# One Wine process holds the wineserver from the first test to the last, so
# that no test pays for a server start: the fixture wine_server.
add_executable(wine_hold wine_hold.c)
target_link_options(wine_hold PRIVATE -municode)
add_dependencies(wine_hold wine_prefix)
set(fixture ${CMAKE_SOURCE_DIR}/cmake/wine-fixture.sh)
add_test(NAME Wine.StartServer COMMAND ${fixture} start ${CMAKE_BINARY_DIR} ${CMAKE_CROSSCOMPILING_EMULATOR}
                                       $<TARGET_FILE:wine_hold>)
add_test(NAME Wine.StopServer COMMAND ${fixture} stop ${CMAKE_BINARY_DIR})
set_tests_properties(Wine.StartServer PROPERTIES FIXTURES_SETUP wine_server)
set_tests_properties(Wine.StopServer PROPERTIES FIXTURES_CLEANUP wine_server)

# The engine module as the extractor loads it.
add_executable(test_engine_dll_load engine/dll_load-win32.c)
target_link_options(test_engine_dll_load PRIVATE -municode)
target_link_libraries(test_engine_dll_load PRIVATE oleaut32 ole32)
add_dependencies(test_engine_dll_load coffer_engine_extract wine_prefix)
add_test(NAME Engine.DllLoadsWithItsEntryPoints COMMAND test_engine_dll_load "Z:$<TARGET_FILE:coffer_engine_extract>")
set_tests_properties(Engine.DllLoadsWithItsEntryPoints PROPERTIES FIXTURES_REQUIRED wine_server)

# The helpers shared by the tests. Paths handed to the programs are on
# Wine's drive Z:, the Unix root; fixtures are made by the real 7zz, run
# from the tests through /bin/sh (tests/support/scratch-win32.cpp).
coffer_sources(support_sources DIR ${CMAKE_CURRENT_SOURCE_DIR}/support)
add_library(coffer_test_support STATIC ${support_sources})
target_link_libraries(coffer_test_support PUBLIC coffer_flags GTest::gtest)
target_compile_definitions(coffer_test_support PUBLIC
  COFFER_SOURCE_DIR="Z:${CMAKE_SOURCE_DIR}"
  COFFER_BINARY_DIR="Z:${CMAKE_BINARY_DIR}"
  COFFER_ENGINE_MODULE="Z:$<TARGET_FILE:coffer_engine_extract>"
  COFFER_ENGINE_RW_MODULE="Z:$<TARGET_FILE:coffer_engine_rw>")

# One program per folder as on Linux, without the tests that drive windows.
set(window_tests app/end_to_end_test.cpp app/window_termination_test.cpp app/extractor_app_test.cpp)
set(program_libs coffer_ui coffer_app_files coffer_extract coffer_sevenzip coffer_i18n coffer_platform)
foreach(name IN ITEMS platform i18n sevenzip extract ui app)
  coffer_sources(sources DIR ${CMAKE_CURRENT_SOURCE_DIR}/${name})
  foreach(file IN LISTS window_tests)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${program_libs} coffer_resources_whole coffer_test_support GTest::gtest_main)
  add_dependencies(test_${name} coffer_engine_extract wine_prefix)
  if(name STREQUAL "app")
    add_dependencies(test_app coffer)
    target_compile_definitions(test_app PRIVATE COFFER_PROGRAM="Z:$<TARGET_FILE:coffer>")
  endif()
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED wine_server)
endforeach()
