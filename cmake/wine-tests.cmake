# Tests that run under Wine: Win32 tests of the components with the real API,
# and end-to-end tests that drive the real Yorunel.exe from outside.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(YORUNEL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(YORUNEL_SESSIONS ${CMAKE_BINARY_DIR}/wine)

# A Wine session as a CTest fixture: its own display and prefix.
function(yorunel_wine_session name)
  add_test(NAME wine_session_${name}_start
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start ${YORUNEL_SESSIONS}/${name} ${ARGN})
  set_tests_properties(wine_session_${name}_start PROPERTIES FIXTURES_SETUP wine_${name} TIMEOUT 300)
  add_test(NAME wine_session_${name}_stop
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop ${YORUNEL_SESSIONS}/${name})
  set_tests_properties(wine_session_${name}_stop PROPERTIES FIXTURES_CLEANUP wine_${name})
endfunction()

# One CTest test: a GoogleTest program (optionally filtered) in a session.
function(yorunel_wine_test name session target)
  add_test(NAME ${name} COMMAND ${YORUNEL_WINE_RUN} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_${session}
    RESOURCE_LOCK wine_${session}
    TIMEOUT 600
    ENVIRONMENT "YORUNEL_WINE_SESSION=${YORUNEL_SESSIONS}/${session};YORUNEL_BUILD=${CMAKE_BINARY_DIR};YORUNEL_SOURCE=${CMAKE_SOURCE_DIR};YORUNEL_TEST_RUNNING_FILE=${CMAKE_BINARY_DIR}/Testing/${name}.running")
endfunction()

add_library(yorunel_test_support STATIC tests/support/test_support.cpp)
target_include_directories(yorunel_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(yorunel_test_support PUBLIC -fexec-charset=CP932)
target_compile_options(yorunel_test_support PRIVATE ${YORUNEL_WARNINGS})
target_link_libraries(yorunel_test_support PUBLIC gtest gdi32 user32)

add_subdirectory(tests/win)
add_subdirectory(tests/e2e)

# cppcheck and clang-tidy over the program's sources, as this build compiles them.
add_test(NAME static_analysis COMMAND ${CMAKE_SOURCE_DIR}/scripts/static-analysis.sh ${CMAKE_BINARY_DIR})
set_tests_properties(static_analysis PROPERTIES TIMEOUT 900)
