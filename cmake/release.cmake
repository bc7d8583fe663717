# Release build: checks of the one-file program.
add_test(NAME release_checks
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release.sh $<TARGET_FILE:Yorunel>)

# The whole program optimised as one: a tenth smaller.
set_target_properties(yorunel_portable yorunel_core Yorunel PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
