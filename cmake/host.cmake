# Host build: the portable logic under AddressSanitizer and
# UndefinedBehaviorSanitizer, its unit tests, fuzz targets and benchmarks.
target_sources(yorunel_portable PRIVATE hotkeys/keyboard_host.cpp)

set(YORUNEL_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(yorunel_portable PUBLIC ${YORUNEL_SANITIZE})
target_link_options(yorunel_portable PUBLIC ${YORUNEL_SANITIZE})

find_package(GTest REQUIRED)
add_subdirectory(tests/host)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_subdirectory(tests/fuzz)
endif()
