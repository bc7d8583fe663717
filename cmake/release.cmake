# Release build: checks of the one-file program.
add_test(NAME release_checks
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release.sh $<TARGET_FILE:Yorunel>)

# The whole program optimised as one: a tenth smaller. In one partition, too:
# split, this compiler's link-time optimisation fails on some symbols
# shared between the parts (an internal error in binds_to_current_def_p).
set_target_properties(yorunel_portable yorunel_framework yorunel_core Yorunel PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
target_link_options(Yorunel PRIVATE -flto-partition=one)

# The release package: one zip with the program, its help page and a read-me.
install(TARGETS Yorunel RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/docs/YORUNEL.html ${CMAKE_SOURCE_DIR}/docs/README.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Yorunel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Yorunel-${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
add_custom_target(package_zip ALL
  COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  DEPENDS Yorunel
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing Yorunel-${PROJECT_VERSION}.zip")
add_test(NAME release_zip_contents
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release-zip.sh ${CMAKE_BINARY_DIR}/Yorunel-${PROJECT_VERSION}.zip)
