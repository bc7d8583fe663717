# Windows builds: the program, its resources, and (in the x86_64 build) the
# Win32 and end-to-end tests that run under Wine.
enable_language(RC)
# The keyboard seam's Windows binding lives with the framework, but is built
# into the layer that declares the seam, which calls it.
target_sources(yorunel_portable PRIVATE framework/keyboard_win.cpp)

set(YORUNEL_SIZE_FLAGS -ffunction-sections -fdata-sections)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 932")
# String literals become code page 932 bytes, as the program's text is.
target_compile_options(yorunel_portable PUBLIC -fexec-charset=CP932 ${YORUNEL_SIZE_FLAGS})
target_compile_definitions(yorunel_portable PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800
                           STRICT NOMINMAX WIN32_LEAN_AND_MEAN)

# Our thin Win32 framework: sees the portable layer and itself.
file(GLOB YORUNEL_FRAMEWORK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/framework/*.cpp)
list(REMOVE_ITEM YORUNEL_FRAMEWORK_SOURCES ${CMAKE_SOURCE_DIR}/framework/keyboard_win.cpp)
add_library(yorunel_framework STATIC ${YORUNEL_FRAMEWORK_SOURCES})
yorunel_layer_includes(yorunel_framework framework)
target_compile_options(yorunel_framework PRIVATE ${YORUNEL_WARNINGS})
target_link_libraries(yorunel_framework PUBLIC yorunel_portable shell32 ole32 oleaut32 uuid gdi32 user32)

# Everything of the program but its entry, so that tests link it too.
file(GLOB YORUNEL_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/controls/*.cpp
  ${CMAKE_SOURCE_DIR}/settings_ui/*.cpp
  ${CMAKE_SOURCE_DIR}/wallpaper/*.cpp)
list(APPEND YORUNEL_CORE_SOURCES
  hotkeys/hook_hotkey.cpp
  app/korvan_main.cpp
  app/program_resources.cpp
  app/settings_table.cpp
  app/wallpaper.cpp
  app/hotkey_actions.cpp)
add_library(yorunel_core STATIC ${YORUNEL_CORE_SOURCES})
target_include_directories(yorunel_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(yorunel_core PRIVATE ${YORUNEL_WARNINGS})
target_link_libraries(yorunel_core PUBLIC yorunel_framework shlwapi)

# The soak benchmark's build of its own shortens the wallpaper timer's minute
# (scripts/soak.sh); every other build keeps it.
set(YORUNEL_MINUTE_MS "" CACHE STRING "Milliseconds of the wallpaper timer's minute (soak builds only)")
if(YORUNEL_MINUTE_MS)
  target_compile_definitions(yorunel_core PUBLIC YORUNEL_MINUTE_MS=${YORUNEL_MINUTE_MS})
endif()

# One file, no runtime DLLs beyond Windows' own.
set(YORUNEL_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

add_executable(Yorunel WIN32 app/main.cpp resources/yorunel.rc)
target_compile_options(Yorunel PRIVATE ${YORUNEL_WARNINGS})
target_link_libraries(Yorunel PRIVATE yorunel_core)
target_link_options(Yorunel PRIVATE ${YORUNEL_STATIC_LINK} $<$<CONFIG:MinSizeRel>:-s>)
set_target_properties(Yorunel PROPERTIES OUTPUT_NAME Yorunel)
set_source_files_properties(resources/yorunel.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/yorunel.manifest;${CMAKE_SOURCE_DIR}/resources/icons/running.ico;${CMAKE_SOURCE_DIR}/resources/icons/paused.ico;${CMAKE_SOURCE_DIR}/resources/icons/app.ico")
add_custom_command(TARGET Yorunel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/docs/YORUNEL.html $<TARGET_FILE_DIR:Yorunel>/YORUNEL.html)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  include(cmake/wine-tests.cmake)
  # The run command's stand-in for the shell's wallpaper object.
  add_subdirectory(standin)
else()
  include(cmake/release.cmake)
endif()

# Benchmarks are measurements, not tests: built only when asked for (scripts/bench.sh).
option(YORUNEL_BENCH "Build the benchmarks under bench/" OFF)
if(YORUNEL_BENCH)
  add_subdirectory(bench)
endif()
