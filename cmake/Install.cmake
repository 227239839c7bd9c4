# Where `cmake --install` puts things, in Debian's layout:
#
#   lib/mirel-vantor/        the program folder: MirelVantor, libSerOxtDL.so,
#                            DizionarioVnt.dbf/.cpg, immagini/, ecu-sim, ecuctl
#                            (each program finds its companions beside itself)
#   bin/                     mirel-vantor, ecuctl, ecu-sim: links into it
#   share/applications/      the desktop entry
#   share/metainfo/          the AppStream metadata
#   share/icons/hicolor/     the icon at every size
#   lib/udev/rules.d/        the rules for USB serial adapters
#   share/doc/mirel-vantor/  copyright and changelog
#   share/man/man1/          the manual pages of the three commands
#   share/mirel-vantor/      the settings' defaults, which are copied to
#   /etc/xdg/OXT srl/        where Qt reads them (under the prefix when it is
#                            not /usr, as GNUInstallDirs does; by the
#                            maintainer scripts in the Debian package)
#
# Only the GUI build has a program to install.
if(NOT MV_BUILD_GUI)
  return()
endif()

set(MV_APP_ID it.oxt.MirelVantor)
set(MV_PROGRAM_DIR lib/mirel-vantor)
set(MV_DOC_DIR share/doc/mirel-vantor)
set(MV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(MV_BUILT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
# Made by packaging/CMakeLists.txt.
set(MV_MADE ${PROJECT_BINARY_DIR}/packaging)
set(MV_ICON_THEME_DIR ${MV_MADE}/icons/hicolor)
set(MV_COMPRESSED ${MV_MADE}/compressed)

install(TARGETS MirelVantor ecu-sim ecuctl RUNTIME DESTINATION ${MV_PROGRAM_DIR})
# Loaded at run time, never linked: a plain file without the execute bit.
install(TARGETS SerOxtDL LIBRARY DESTINATION ${MV_PROGRAM_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${MV_BUILT}/DizionarioVnt.dbf ${MV_BUILT}/DizionarioVnt.cpg
        DESTINATION ${MV_PROGRAM_DIR})
install(DIRECTORY ${MV_BUILT}/immagini DESTINATION ${MV_PROGRAM_DIR})

# The commands on the PATH are relative links, so the programs resolve their
# own folder (/proc/self/exe) to the program folder. The links and the
# settings' defaults are made at install time (see the two scripts), so both
# follow the prefix given to `cmake --install`.
install(CODE "
  set(MV_PROGRAM_DIR ${MV_PROGRAM_DIR})
  set(MV_LINKS mirel-vantor=MirelVantor ecuctl=ecuctl ecu-sim=ecu-sim)
  set(MV_SETTINGS_TEMPLATE \"${MV_PACKAGING_DIR}/MirelVantor.conf.in\")")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallLinks.cmake)
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallSettingsDefaults.cmake)
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallSystemSettings.cmake COMPONENT SystemSettings)

install(FILES ${MV_PACKAGING_DIR}/${MV_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${MV_PACKAGING_DIR}/${MV_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${MV_ICON_THEME_DIR}/ DESTINATION share/icons/hicolor)
install(FILES ${MV_PACKAGING_DIR}/60-mirel-vantor.rules DESTINATION lib/udev/rules.d)
install(FILES ${MV_PACKAGING_DIR}/copyright ${MV_COMPRESSED}/changelog.gz DESTINATION ${MV_DOC_DIR})
install(FILES ${MV_COMPRESSED}/mirel-vantor.1.gz ${MV_COMPRESSED}/ecuctl.1.gz
        ${MV_COMPRESSED}/ecu-sim.1.gz DESTINATION share/man/man1)

# The Debian package: `cmake --build <dir> --target package` (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirel-vantor)
set(CPACK_PACKAGE_VENDOR "OXT srl")
set(CPACK_PACKAGE_CONTACT "OXT srl <assistenza@oxt.it>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "workshop service tool for LPG/CNG injection ECUs")
# The summary above is the first line; CPack indents these paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Mirel Vantor connects a PC to the gas injection ECU of a car through a
serial or USB cable: it identifies the ECU, reads its parameters, shows live
engine values, edits the configuration, calibrates the level sensor and runs
the lambda diagnosis, and keeps whole configurations as files.

The package also holds the virtual ECU (ecu-sim), the command-line
companion ecuctl, and udev rules that ready USB serial adapters.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program cannot do without but links no library of, so the
# computed dependencies miss it: the platform plugins (without them there is
# no window on X11 or Wayland) and Qt's translations (the Yes, No and Cancel
# buttons in the chosen language). Recommends are not always installed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR under the real prefix, so what the install scripts
# write (the links, "MainPath" in the defaults) names /usr, not a staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Everything but the SystemSettings part, whose work the maintainer scripts do.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${MV_PACKAGING_DIR}/postinst ${MV_PACKAGING_DIR}/prerm ${MV_PACKAGING_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
