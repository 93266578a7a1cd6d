# What an installed Pravenor carries besides its two programs (menu entry, icon, manual page,
# an example udev rule) and how CPack turns an install into a .deb. Include after the programs'
# targets exist, with GNUInstallDirs already included.
include_guard(GLOBAL)

# The desktop file and the icon share this name, so desktops can tie the window to both.
set(PRAVENOR_APP_ID "nl.quilmar.Pravenor")
set(PRAVENOR_PACKAGE_MAINTAINER "Quilmar <support@quilmar.nl>"
    CACHE STRING "The Maintainer field of the .deb: a name and an e-mail address")

set(_pravenorPackaging "${PROJECT_SOURCE_DIR}/packaging")

install(FILES "${_pravenorPackaging}/${PRAVENOR_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${_pravenorPackaging}/${PRAVENOR_APP_ID}.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
# Shipped as an example only: quietening ModemManager is the machine owner's decision, and a
# rule that is active on install would also hide real modems built on the same chips.
install(FILES "${_pravenorPackaging}/99-pravenor-no-modemmanager.rules"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/pravenor/examples")

# Debian wants manual pages compressed, and without a name or time stamp in the gzip header so
# that two builds of the same page give the same bytes.
find_program(PRAVENOR_GZIP gzip)
foreach(_pravenorPage pravenor pravenor-cli)
  set(_pravenorManPage "${PROJECT_SOURCE_DIR}/man/${_pravenorPage}.1")
  if(PRAVENOR_GZIP)
    set(_pravenorManOut "${PROJECT_BINARY_DIR}/man/${_pravenorPage}.1")
    add_custom_command(
      OUTPUT "${_pravenorManOut}.gz"
      COMMAND "${CMAKE_COMMAND}" -E copy "${_pravenorManPage}" "${_pravenorManOut}"
      COMMAND "${PRAVENOR_GZIP}" -9nf "${_pravenorManOut}"
      DEPENDS "${_pravenorManPage}"
      COMMENT "Compressing the manual page of ${_pravenorPage}"
      VERBATIM)
    list(APPEND _pravenorManPages "${_pravenorManOut}.gz")
    install(FILES "${_pravenorManOut}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  else()
    install(FILES "${_pravenorManPage}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  endif()
endforeach()
add_custom_target(pravenor-manpage ALL DEPENDS ${_pravenorManPages})

set(CPACK_PACKAGE_NAME "pravenor")
set(CPACK_PACKAGE_VENDOR "Quilmar")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${PRAVENOR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up a serial pager converter")
# Debian shows the body as it is: lines under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pravenor reads the settings of a serial converter that turns contact inputs\n"
    "into pager calls, shows them for editing, writes them back one by one or all\n"
    "at once, keeps sets of settings in files, restarts the converter and tests\n"
    "the paging line. It has a window, pravenor, and a command-line companion,\n"
    "pravenor-cli, for scripts and remote use.")
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME "pravenor")
# pravenor_1.0_amd64.deb: Debian's own naming, with the architecture dpkg reports.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PRAVENOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The dependencies come from the libraries the programs really link (dpkg-shlibdeps), so they
# follow Qt and the C++ runtime of whichever release the package is built on. The X11 platform
# plugin ships inside libqt6gui6, which is among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
