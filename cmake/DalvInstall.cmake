# Install rules (paths from GNUInstallDirs, included at the top level): the
# programs, the library with its header, a CMake package
# (find_package(dalv) gives dalv::dalv), a pkg-config file and the man pages.
include(CMakePackageConfigHelpers)

set(dalv_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/dalv)
set(dalv_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS diodesolve splitdemo diodeplot diodemap diodelab RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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

# Files shipped compressed, as Debian ships man pages and changelogs:
# dalv_install_gzipped(SOURCE DESTINATION) installs SOURCE.gz there.
find_program(GZIP gzip REQUIRED)
function(dalv_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(gz ${PROJECT_BINARY_DIR}/gz/${destination}/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gz/${destination}
    COMMAND ${GZIP} -9nc ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  install(FILES ${gz} DESTINATION ${destination})
  set_property(GLOBAL APPEND PROPERTY dalv_gzipped ${gz})
endfunction()

# Man pages; the function names are stubs that point at dalv(3).
foreach(page diodesolve.1 splitdemo.1 diodeplot.1 diodemap.1 diodelab.1 dalv.3)
  string(REGEX REPLACE ".*\\." "man" section_dir ${page})
  dalv_install_gzipped(${PROJECT_SOURCE_DIR}/man/${page}
    ${CMAKE_INSTALL_MANDIR}/${section_dir})
endforeach()
foreach(fn dalv_read_double dalv_read_int dalv_read_string dalv_str_chomp)
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/man/${fn}.3 CONTENT ".so man3/dalv.3\n")
  dalv_install_gzipped(${PROJECT_BINARY_DIR}/man/${fn}.3
    ${CMAKE_INSTALL_MANDIR}/man3)
endforeach()

# The copyright file and the changelog, named after the package; the
# changelog's entries are signed by the maintainer set here.
set(DALV_PACKAGE_MAINTAINER
  "dalv maintainers <maintainers@users.noreply.c-seed-ba55011a.example>"
  CACHE STRING "Maintainer of the Debian package, as: Name <address>")
set(dalv_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/diodesolve)
configure_file(cmake/changelog.in ${PROJECT_BINARY_DIR}/doc/changelog @ONLY)
dalv_install_gzipped(${PROJECT_BINARY_DIR}/doc/changelog ${dalv_doc_dir})
install(FILES cmake/copyright.txt DESTINATION ${dalv_doc_dir} RENAME copyright)

get_property(gzipped GLOBAL PROPERTY dalv_gzipped)
add_custom_target(gzipped ALL DEPENDS ${gzipped})
