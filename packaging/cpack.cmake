# The package of what packaging/CMakeLists.txt installs: a .deb on Linux (make package), an
# NSIS installer on Windows (see the README; untested on this project's machines).
set(CPACK_PACKAGE_NAME quivel-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QUIVEL")
set(QUIVEL_PACKAGE_CONTACT
    "QUIVEL Config maintainers <maintainers@users.noreply.c-seed-ca5b3d89.example>"
    CACHE STRING "The maintainer named by the packages")
set(CPACK_PACKAGE_CONTACT "${QUIVEL_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "companion program of the QUIVEL temperature and humidity data logger")
set(CPACK_PACKAGE_DESCRIPTION
    "QUIVEL Config finds the QUIVEL data logger on its USB serial adapter, programs its clock, \
logging period, calibration offsets and serial number, downloads its records, shows them as a \
table and as curves against alarm thresholds, prints and saves reports, and keeps an audit \
trail of every change. French user interface.

The menu entry starts the program in ~/QUIVEL, where it keeps its files. quivel-demo runs it \
against a simulated data logger.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR NSIS)
    set(CPACK_PACKAGE_INSTALL_DIRECTORY "QUIVEL Config")
    set(CPACK_NSIS_PACKAGE_NAME "QUIVEL Config")
    set(CPACK_NSIS_DISPLAY_NAME "QUIVEL Config ${PROJECT_VERSION}")
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    # The program writes its files in its starting folder, and Program Files is not writable:
    # the Start menu shortcut starts it in QUIVEL under the Documents folder (the public one
    # when installed for all users), which the installer creates. SetOutPath sets the
    # shortcut's starting folder.
    set(CPACK_NSIS_CREATE_ICONS_EXTRA "
        CreateDirectory '$DOCUMENTS\\\\QUIVEL'
        SetOutPath '$DOCUMENTS\\\\QUIVEL'
        CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\QUIVEL Config.lnk' '$INSTDIR\\\\bin\\\\quivel-config.exe'
        SetOutPath '$INSTDIR'
    ")
    set(CPACK_NSIS_DELETE_ICONS_EXTRA "
        Delete '$SMPROGRAMS\\\\$START_MENU\\\\QUIVEL Config.lnk'
    ")
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION science)
    # Depends: what dpkg-shlibdeps finds the programs linked with, Debian's Qt 6 libraries
    # (the X11 platform plugin comes with libqt6gui6, the SVG icon engine with libqt6svg6).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The interface's font, Arial's metrics and the report's Garamond; without them Qt falls
    # back to another installed font.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-liberation2, fonts-ebgaramond")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
endif()

include(CPack)
