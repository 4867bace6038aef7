# Read by cpack before it builds the package: the Depends field comes from
# dpkg-shlibdeps, and without it CPack would write a package that depends on
# nothing. So there is no package without it.
find_program(DALV_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT DALV_DPKG_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps is missing, so the package's Depends "
    "field cannot be computed: install dpkg-dev (Debian) and run make package again.")
endif()
