# Where `cmake --install` puts the program, and so what the Debian package
# (cmake/package.cmake) holds: the programs and their man pages, the user
# guide, the desktop's entry, icon and file kinds, the converter's udev rule
# and the copyright. On Windows only the programs and the guide: the installer
# (packaging/windows) does the rest.
include(GNUInstallDirs)

set(programs veldro-cli veldro-sim veldro)
set(man_files)
foreach(program IN LISTS programs)
  if(NOT TARGET ${program})
    continue()
  endif()
  install(TARGETS ${program})
  if(WIN32)
    continue()
  endif()
  # The version in the footer comes from the project; the page is gzipped, as
  # Debian wants man pages.
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
  configure_file(packaging/man/${program}.1 ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND gzip -9 -n -k -f ${page}
    DEPENDS ${page}
    VERBATIM)
  list(APPEND man_files ${page}.gz)
endforeach()

if(TARGET veldro)
  # The user guide and the screenshots its pages show, where the help window
  # looks for them (VELDRO_DOCS_DESTINATION, set beside the window's target).
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/docs/guide)
    install(DIRECTORY docs/guide DESTINATION ${VELDRO_DOCS_DESTINATION})
    file(GLOB screenshots CONFIGURE_DEPENDS docs/screenshot-*.png docs/map-*.png
         docs/inversion-*.png)
    install(FILES ${screenshots} DESTINATION ${VELDRO_DOCS_DESTINATION})
  endif()
endif()
if(WIN32)
  return()
endif()

add_custom_target(veldro-man-pages ALL DEPENDS ${man_files})
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# udev reads lib/udev/rules.d below /usr and /usr/local alike.
install(FILES packaging/60-veldro-converter.rules DESTINATION lib/udev/rules.d)

# Debian's place for the licence statement, under the package's own name.
install(FILES packaging/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veldro)

if(TARGET veldro)
  install(FILES packaging/veldro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/veldro-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME veldro.xml)

  # The desktop's icon is the window icon's mast, rendered by the build from
  # the window's own drawing: a scalable SVG and the usual PNG sizes.
  set(VELDRO_ICON_SIZES 16 22 24 32 48 64 128 256)
  find_package(Qt6 REQUIRED COMPONENTS Svg)
  add_executable(veldro-icons tools/icons/main.cpp)
  target_link_libraries(veldro-icons PRIVATE veldro_widgets Qt6::Svg)
  set(icon_root ${CMAKE_CURRENT_BINARY_DIR}/icons)
  set(icon_files ${icon_root}/hicolor/scalable/apps/veldro.svg)
  foreach(size IN LISTS VELDRO_ICON_SIZES)
    list(APPEND icon_files ${icon_root}/hicolor/${size}x${size}/apps/veldro.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:veldro-icons> ${icon_root} ${VELDRO_ICON_SIZES}
    DEPENDS veldro-icons
    VERBATIM)
  add_custom_target(veldro-desktop-icons ALL DEPENDS ${icon_files})
  install(DIRECTORY ${icon_root}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
