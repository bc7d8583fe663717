# Host build: the portable logic under AddressSanitizer and
# UndefinedBehaviorSanitizer, its unit tests, fuzz targets and benchmarks.
target_sources(yorunel_portable PRIVATE portable/keyboard_host.cpp)

set(YORUNEL_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(yorunel_portable PUBLIC ${YORUNEL_SANITIZE})
target_link_options(yorunel_portable PUBLIC ${YORUNEL_SANITIZE})

find_package(GTest REQUIRED)
add_subdirectory(tests/host)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_subdirectory(tests/fuzz)
endif()

# Includes that go against the layers fail the tests; the check itself must
# fail on a tree with an upward include planted in the framework.
add_test(NAME include_direction COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-includes.sh ${CMAKE_SOURCE_DIR})
add_test(NAME include_direction_planted
  COMMAND sh -c "rm -rf planted && mkdir planted && cp -r '${CMAKE_SOURCE_DIR}/portable' '${CMAKE_SOURCE_DIR}/framework' planted/ && echo '#include \"app/korvan_main.h\"' >> planted/framework/window.h && '${CMAKE_SOURCE_DIR}/scripts/check-includes.sh' planted"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(include_direction_planted PROPERTIES PASS_REGULAR_EXPRESSION "framework/ may not include \"app/korvan_main.h\"")

# The set-up goes on past a package index that fails to update, and names
# the package it cannot install.
add_test(NAME setup_broken_index COMMAND ${CMAKE_SOURCE_DIR}/tests/host/setup_test.sh ${CMAKE_SOURCE_DIR}/scripts/setup.sh)
