# Run by `cmake --install`: writes the settings' defaults, with "MainPath"
# naming the program folder of this very installation, to
# share/mirel-vantor/MirelVantor.conf. The SystemSettings part puts them in
# effect (InstallSystemSettings.cmake); the Debian package does that in its
# maintainer scripts instead.
set(defaults "${CMAKE_INSTALL_PREFIX}/share/mirel-vantor/MirelVantor.conf")
file(READ "${MV_SETTINGS_TEMPLATE}" text)
string(REPLACE "@MV_INSTALLED_PROGRAM_FOLDER@" "${CMAKE_INSTALL_PREFIX}/${MV_PROGRAM_DIR}" text
       "${text}")
message(STATUS "Installing: $ENV{DESTDIR}${defaults}")
file(WRITE "$ENV{DESTDIR}${defaults}" "${text}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${defaults}")
