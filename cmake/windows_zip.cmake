# The zip a Windows player unpacks: the game without its debugging symbols,
# build/assets, the source copies of the configuration files (the editors
# write those first), a readme, launchers and the licence texts. The build
# fails when the packed zip lacks any of them.
set(package ${CMAKE_BINARY_DIR}/package)
set(zip ${CMAKE_BINARY_DIR}/voidlance-windows-x64.zip)
add_custom_target(windows_zip ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package} ${zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package}
  COMMAND ${CMAKE_STRIP} -o ${package}/voidlance.exe voidlance.exe
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR} -DASSETS=${VOIDLANCE_ASSETS}
          -DPREFIX=${VOIDLANCE_WINDOWS_PREFIX} -DPACKAGE=${package} -DZIP=${zip}
          -P ${CMAKE_SOURCE_DIR}/cmake/pack_windows_zip.cmake
  COMMAND ${CMAKE_COMMAND} -DPACKAGE=${package} -DZIP=${zip} -DSOURCE=${CMAKE_SOURCE_DIR}
          -DAR=${CMAKE_AR} -DFREETYPE=${VOIDLANCE_WINDOWS_PREFIX}/lib/libfreetype.a
          -P ${CMAKE_SOURCE_DIR}/cmake/check_windows_zip.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing voidlance-windows-x64.zip")
add_dependencies(windows_zip voidlance assets)
