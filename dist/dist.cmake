# Install rules and the Debian package; included from the top-level CMakeLists.txt before
# GNUInstallDirs is needed.

# The names and addresses the metadata shows are the program's own: PIXMINT_AppId,
# PIXMINT_HomePage, PIXMINT_ProductPage and PIXMINT_MailAddress.
set(pixmint_project_header ${CMAKE_SOURCE_DIR}/src/face/project.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${pixmint_project_header})
file(STRINGS ${pixmint_project_header} pixmint_project_lines REGEX "constexpr char")
foreach(line IN LISTS pixmint_project_lines)
    if(line MATCHES "char ([A-Za-z]+)\\[\\] = \"([^\"]*)\"")
        set(PIXMINT_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endif()
endforeach()
if(NOT PIXMINT_AppId OR NOT PIXMINT_HomePage OR NOT PIXMINT_MailAddress)
    message(FATAL_ERROR "src/face/project.h lacks the application id, home page or mail address")
endif()

set(dist ${CMAKE_BINARY_DIR}/dist)
configure_file(${CMAKE_SOURCE_DIR}/dist/pixmint.desktop.in ${dist}/${PIXMINT_AppId}.desktop @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/pixmint.metainfo.xml.in
    ${dist}/${PIXMINT_AppId}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/deb/copyright.in ${dist}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/dist/deb/changelog.in ${dist}/changelog @ONLY)
foreach(page pixmint pixmint-icons)
    configure_file(${CMAKE_SOURCE_DIR}/dist/man/${page}.1 ${dist}/${page}.1 @ONLY)
endforeach()

# Manual pages and the changelog are installed compressed, without name or time stamp, so that
# the package is the same on every build.
set(pixmint_compressed)
foreach(file pixmint.1 pixmint-icons.1 changelog)
    add_custom_command(OUTPUT ${dist}/${file}.gz
        COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${dist}/${file} ${dist}/${file}.gz
        DEPENDS ${dist}/${file} VERBATIM)
    list(APPEND pixmint_compressed ${dist}/${file}.gz)
endforeach()
add_custom_target(pixmint-dist ALL DEPENDS ${pixmint_compressed})

install(TARGETS pixmint pixmint-icons RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Where the programs look for it, from their own folder: ../libexec/pixmint.
install(TARGETS pixmint-reader pixmint-icons-full
    RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/pixmint)
# File managers draw the icons of programs, libraries, icons and cursors through it.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/dist/pixmint.thumbnailer
    DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${dist}/${PIXMINT_AppId}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/${PIXMINT_AppId}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist}/pixmint.1.gz ${dist}/pixmint-icons.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian's documentation folder is named after the package.
install(FILES ${dist}/copyright ${dist}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pixmint)
# The application icon at the icon theme's usual sizes; 32 and 64 are the ones the program shows.
foreach(size 16 32 48 64 128 256)
    if(size EQUAL 32)
        set(picture ${CMAKE_SOURCE_DIR}/resources/pixmint-32.png)
    elseif(size EQUAL 64)
        set(picture ${CMAKE_SOURCE_DIR}/resources/pixmint.png)
    else()
        set(picture ${CMAKE_SOURCE_DIR}/resources/hicolor/pixmint-${size}.png)
    endif()
    install(FILES ${picture} RENAME ${PIXMINT_AppId}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# `make deb`: the binaries stripped, the libraries they need found by dpkg-shlibdeps, and what
# it cannot see added: libwmf draws text with the URW fonts, and the About box opens addresses
# and mail through xdg-open.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pixmint)
set(CPACK_PACKAGE_VENDOR "Orvel Orvelcraft")
set(CPACK_PACKAGE_CONTACT "Orvel Orvelcraft <${PIXMINT_MailAddress}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "icon editor for 32 x 32 icons")
# Lines as the control file shows them; Debian wants them under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [=[
Pixmint edits one 32 x 32 icon, shown enlarged on a grid and at actual size,
with nine drawing modes and a colour for each mouse button. It opens icons,
Windows bitmaps, GIFs and Windows metafiles, saves icons and bitmaps, and
pulls every icon out of Windows executables, libraries and icon libraries.
Tool windows add a palette, an RGB mixer, a desktop colour picker, a gradient
ramp, an icon file manager, a bitmap header viewer and a tiled preview.

The pixmint-icons command lists and extracts the icons of executables and
libraries.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PIXMINT_HomePage})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libwmf, libpng and libdeflate are opened at run time, so dpkg-shlibdeps does not see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libwmf-0.2-7, libpng16-16, libdeflate0, fonts-urw-base35, xdg-utils")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
