# Release build: checks of the one-file program.
add_test(NAME release_checks
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release.sh $<TARGET_FILE:Yorunel>)
