# The desktop integration (menu entries, icon, AppStream data, udev rule, Debian documents) and the CPack
# settings of the Debian package that scripts/package builds. Included from the top-level CMakeLists.txt;
# the binaries, language files, man pages and completion have their install() lines where they are built.

set(_pkg ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${_pkg}/sequaflow.desktop ${_pkg}/sequaflow-demo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg}/sequaflow.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_pkg}/icons/sequaflow.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(SEQUAFLOW_ICON_SIZES 16 24 32 48 64 128 256)
foreach(size ${SEQUAFLOW_ICON_SIZES})
  install(FILES ${_pkg}/icons/${size}x${size}/sequaflow.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# udev reads system rules from /lib/udev/rules.d (Debian 12 keeps them there, and lintian checks them
# there); an install under another prefix keeps the rule beside its files, to be copied by hand.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(_udev_default "/lib/udev/rules.d")
else()
  set(_udev_default "lib/udev/rules.d")
endif()
set(SEQUAFLOW_UDEV_RULES_DIR "${_udev_default}" CACHE STRING
    "Where the udev rule for the USB serial adapters is installed (relative: under the install prefix)")
install(FILES ${_pkg}/99-sequaflow.rules DESTINATION ${SEQUAFLOW_UDEV_RULES_DIR})

set(SEQUAFLOW_PACKAGE_MAINTAINER "sequaflow developers <packaging@sequaflow.invalid>" CACHE STRING
    "Maintainer field of the Debian package and its changelog")
set(SEQUAFLOW_DEB_RELEASE 1)
set(SEQUAFLOW_DEB_VERSION "${PROJECT_VERSION}-${SEQUAFLOW_DEB_RELEASE}")

# Debian documents: the copyright file and the changelog, compressed as Debian wants it (gzip -9n, so the
# same sources give the same bytes). The changelog's date is the commit's, not the build's.
install(FILES ${_pkg}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_pkg}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME sequaflow)
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%aD
                OUTPUT_VARIABLE SEQUAFLOW_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT SEQUAFLOW_CHANGELOG_DATE)
  string(TIMESTAMP SEQUAFLOW_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
set(SEQUAFLOW_CHANGELOG_BUILD "${SEQUAFLOW_BUILD_ID}")
if(NOT SEQUAFLOW_CHANGELOG_BUILD)
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --short HEAD
                  OUTPUT_VARIABLE SEQUAFLOW_CHANGELOG_BUILD OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT SEQUAFLOW_CHANGELOG_BUILD)
  set(SEQUAFLOW_CHANGELOG_BUILD "unknown")
endif()
set(_changelog ${PROJECT_BINARY_DIR}/packaging/changelog.Debian)
configure_file(${_pkg}/changelog.Debian.in ${_changelog} @ONLY)
find_program(SEQUAFLOW_GZIP gzip)
if(SEQUAFLOW_GZIP)
  add_custom_command(OUTPUT ${_changelog}.gz
                     COMMAND ${SEQUAFLOW_GZIP} -9nkf ${_changelog}
                     DEPENDS ${_changelog}
                     COMMENT "Compressing the Debian changelog")
  add_custom_target(sequaflow_debian_changelog ALL DEPENDS ${_changelog}.gz)
  install(FILES ${_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The Debian package.
set(CPACK_PACKAGE_NAME sequaflow)
set(CPACK_PACKAGE_VENDOR "sequaflow developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up and diagnose sequential gas injection controllers")
# Debian shows the lines as they are: keep them within 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Sequaflow is a workshop tool for sequential LPG and CNG injection\n"
       "controllers. Over the controller's USB serial adapter it reads and writes\n"
       "the parameters and maps, shows live readings and the injection times, runs\n"
       "the adaptation and the injector diagnostics, and keeps every read as a\n"
       "backup parameter file. A second menu entry starts it on a built-in\n"
       "simulated controller.\n"
       "\n"
       "The package holds the desktop program sequaflow, the command-line tool\n"
       "sequaflow-cli and the controller simulator sequaflow-sim, with the\n"
       "language files, the help text and a udev rule for the USB serial adapters.")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SEQUAFLOW_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SEQUAFLOW_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
