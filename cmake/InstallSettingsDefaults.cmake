# Run by `cmake --install`: writes the settings' defaults where Qt looks for
# system-wide settings of "OXT srl"/"MirelVantor". That is /etc/xdg for an
# installation under /usr and the prefix's own etc/xdg otherwise (the rule of
# GNUInstallDirs), so an install into a scratch prefix never writes outside
# it. "MainPath" names the program folder of this very installation.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(etc "/etc")
else()
  set(etc "${CMAKE_INSTALL_PREFIX}/etc")
endif()
set(defaults "${etc}/xdg/OXT srl/MirelVantor.conf")
file(READ "${MV_SETTINGS_TEMPLATE}" text)
string(REPLACE "@MV_INSTALLED_PROGRAM_FOLDER@" "${CMAKE_INSTALL_PREFIX}/${MV_PROGRAM_DIR}" text
       "${text}")
message(STATUS "Installing: $ENV{DESTDIR}${defaults}")
file(WRITE "$ENV{DESTDIR}${defaults}" "${text}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${defaults}")
