# Debian package of everything that installs: make package (CPack, DEB).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME diodesolve)
set(CPACK_PACKAGE_VENDOR "dalv maintainers")
# MIT licensed (Debian: Expat); the package carries it in its copyright file.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CONTACT "${DALV_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DALV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "diode circuit solver and console input library with German dialogue")
set(CPACK_PACKAGE_DESCRIPTION
  "diodesolve asks for the voltage, resistance and diode saturation current of
a resistor-diode series circuit and finds its current by bisection, regula
falsi and Newton's method, printing every pass. splitdemo splits a sentence
with strtok_r. diodeplot draws how the three methods converge, and diodemap
where they converge, cycle or break down over a region of circuits, with
gnuplot.
The dalv static library, its header, CMake package and
pkg-config file let other C and C++ programs read console input the same way.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/DalvPackageCheck.cmake)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnuplot-nox | gnuplot") # for the drawing tools
set(CPACK_STRIP_FILES ON)
include(CPack)
