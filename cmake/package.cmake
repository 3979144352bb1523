# The Debian package of what cmake/install.cmake lays out; `scripts/package`
# builds it. Its dependencies come from the shared libraries the programs load.
set(VELDRO_PACKAGE_MAINTAINER "Ombrel Zezeverudud <support@ombrel-zezeverudud.com>"
  CACHE STRING "The Maintainer field of the Debian package")
set(VELDRO_PACKAGE_PREFIX /usr)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veldro)
set(CPACK_PACKAGE_VENDOR "Ombrel Zezeverudud")
set(CPACK_PACKAGE_CONTACT ${VELDRO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION
  "Downloads the measurements of the Veldro VLF receiver over a serial cable or\n"
  "its USB converter, shows them in a table, keeps or ignores rows, filters them,\n"
  "shows the Fraser-filtered tilt and plots, and saves or exports them\n"
  "(spreadsheet text, formatted report, XYZ and WADI files). veldro-cli runs the\n"
  "same data commands without a window, and veldro-sim plays the instrument on a\n"
  "pseudo-terminal.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${VELDRO_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# One script serves as postinst and postrm: both refresh what the files touch.
set(maintainer_scripts)
foreach(script postinst postrm)
  configure_file(packaging/debian/refresh-caches.in ${CMAKE_CURRENT_BINARY_DIR}/debian/${script}
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
  list(APPEND maintainer_scripts ${CMAKE_CURRENT_BINARY_DIR}/debian/${script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${maintainer_scripts})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
