# What `cmake --install` puts where: the two programs, the help pages in share/kivamo/help (where the
# program looks when no help folder lies beside it), the desktop entry, the play-list MIME package,
# the movie thumbnailer, the icons in the hicolor theme and the manual pages.
include(GNUInstallDirs)

set(KIVAMO_ASSETS_DIR "${PROJECT_SOURCE_DIR}/assets")

install(TARGETS kivamo kivamo-swf RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

install(DIRECTORY "${KIVAMO_ASSETS_DIR}/help/" DESTINATION "${CMAKE_INSTALL_DATADIR}/kivamo/help")
install(FILES "${KIVAMO_ASSETS_DIR}/desktop/kivamo.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${KIVAMO_ASSETS_DIR}/desktop/kivamo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")
install(FILES "${KIVAMO_ASSETS_DIR}/desktop/kivamo.thumbnailer" DESTINATION "${CMAKE_INSTALL_DATADIR}/thumbnailers")
install(FILES "${KIVAMO_ASSETS_DIR}/desktop/icons/kivamo.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${KIVAMO_ASSETS_DIR}/desktop/icons/application-x-kivamo-playlist.svg"
              "${KIVAMO_ASSETS_DIR}/desktop/icons/application-vnd.adobe.flash.movie.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes")
install(FILES "${KIVAMO_ASSETS_DIR}/man/kivamo.1" "${KIVAMO_ASSETS_DIR}/man/kivamo-swf.1"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${KIVAMO_ASSETS_DIR}/man/zh_CN/kivamo.1" "${KIVAMO_ASSETS_DIR}/man/zh_CN/kivamo-swf.1"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/zh_CN/man1")

# In the build tree the help folder sits beside the program, as it does in an unpacked copy.
file(GLOB KIVAMO_HELP_FILES CONFIGURE_DEPENDS "${KIVAMO_ASSETS_DIR}/help/*")
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/bin/help/index.html"
  COMMAND "${CMAKE_COMMAND}" -E copy_directory "${KIVAMO_ASSETS_DIR}/help" "${CMAKE_BINARY_DIR}/bin/help"
  DEPENDS ${KIVAMO_HELP_FILES}
  VERBATIM)
add_custom_target(kivamo_help DEPENDS "${CMAKE_BINARY_DIR}/bin/help/index.html")
add_dependencies(kivamo kivamo_help)
