# Install rules (paths from GNUInstallDirs, included at the top level): the
# programs, the library with its header, a CMake package
# (find_package(dalv) gives dalv::dalv), a pkg-config file and the man pages.
include(CMakePackageConfigHelpers)

set(dalv_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/dalv)
set(dalv_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS diodesolve splitdemo diodeplot diodemap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS dalv EXPORT dalvTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT dalvTargets NAMESPACE dalv:: DESTINATION ${dalv_cmake_dir})

configure_package_config_file(cmake/dalvConfig.cmake.in
  ${PROJECT_BINARY_DIR}/dalvConfig.cmake INSTALL_DESTINATION ${dalv_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/dalvConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/dalvConfig.cmake
  ${PROJECT_BINARY_DIR}/dalvConfigVersion.cmake DESTINATION ${dalv_cmake_dir})

# The .pc file finds its prefix relative to itself, so the tree can move.
file(RELATIVE_PATH DALV_PC_TO_PREFIX /${dalv_pc_dir} /)
configure_file(cmake/dalv.pc.in ${PROJECT_BINARY_DIR}/dalv.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/dalv.pc DESTINATION ${dalv_pc_dir})

# Man pages, compressed as Debian ships them; the function names are stubs
# that point at dalv(3).
find_program(GZIP gzip REQUIRED)
set(pages man1/diodesolve.1 man1/splitdemo.1 man1/diodeplot.1 man1/diodemap.1
  man3/dalv.3)
foreach(fn dalv_read_double dalv_read_int dalv_read_string dalv_str_chomp)
  file(WRITE ${PROJECT_BINARY_DIR}/man/man3/${fn}.3 ".so man3/dalv.3\n")
  list(APPEND pages man3/${fn}.3)
endforeach()
set(compressed)
foreach(page IN LISTS pages)
  get_filename_component(section_dir ${page} DIRECTORY)
  get_filename_component(name ${page} NAME)
  set(source ${PROJECT_BINARY_DIR}/man/${page})
  if(EXISTS ${PROJECT_SOURCE_DIR}/man/${name})
    set(source ${PROJECT_SOURCE_DIR}/man/${name})
  endif()
  set(gz ${PROJECT_BINARY_DIR}/man-gz/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man-gz/${section_dir}
    COMMAND ${GZIP} -9nc ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/${section_dir})
endforeach()
add_custom_target(man ALL DEPENDS ${compressed})
