# The packages: a Debian package (cpack -G DEB from the build folder; scripts/package.sh), and on Windows
# an MSI (cpack -G WIX) carrying Qt's runtime, gathered by windeployqt at install time.
set(CPACK_PACKAGE_NAME qavo)
set(CPACK_PACKAGE_VENDOR "The QAVO developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of the voice-menu trees of a voice server's auto-attendant")
set(CPACK_PACKAGE_DESCRIPTION "QAVO builds the voice-menu trees that callers walk through when they
phone a voice server (trees, menus, an action per telephone key, schedules),
checks them against the server's announcement and station lists and sends
them to the server; it also edits the server's line table. The package holds
the editor, the headless qavo-cli and the qavo-sim simulator.")
set(CPACK_PACKAGE_CONTACT "QAVO developers <qavo@example.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY QAVO)
set(CPACK_PACKAGE_EXECUTABLES qavo QAVO)

# Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/qavo")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "QAVO developers <qavo@example.org>")

# Windows: WiX, with Qt's libraries and plugins beside the programs.
if(WIN32)
    find_program(WINDEPLOYQT windeployqt HINTS ${Qt6_DIR}/../../../bin)
    if(WINDEPLOYQT)
        install(CODE "execute_process(COMMAND \"${WINDEPLOYQT}\" --release --no-translations
            --dir \"\${CMAKE_INSTALL_PREFIX}\" \"\${CMAKE_INSTALL_PREFIX}/qavo.exe\"
            \"\${CMAKE_INSTALL_PREFIX}/qavo-cli.exe\" \"\${CMAKE_INSTALL_PREFIX}/qavo-sim.exe\")")
    endif()
    set(CPACK_GENERATOR WIX)
    # Keep this GUID: it lets a newer MSI replace an older one.
    set(CPACK_WIX_UPGRADE_GUID "6C3B8E4A-2F0D-4E5B-9A71-3D2C8F14B0A7")
    set(CPACK_WIX_PRODUCT_ICON ${CMAKE_CURRENT_LIST_DIR}/icons/qavo.ico)
    set(CPACK_WIX_PROGRAM_MENU_FOLDER QAVO)
    set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_LIST_DIR}/license.txt)
else()
    set(CPACK_GENERATOR DEB)
endif()
include(CPack)
