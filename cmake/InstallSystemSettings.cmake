# Run by `cmake --install` (component SystemSettings): copies the settings'
# defaults where Qt looks for system-wide settings of "OXT srl"/"MirelVantor",
# so a user's first start finds them. That is /etc/xdg for an installation
# under /usr and the prefix's own etc/xdg otherwise (the rule of
# GNUInstallDirs), so an install into a scratch prefix never writes outside
# it. The Debian package leaves this part out: dpkg cannot list a file whose
# path holds a space ("OXT srl") among its configuration files, so the
# package's maintainer scripts put the file in place.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(etc "/etc")
else()
  set(etc "${CMAKE_INSTALL_PREFIX}/etc")
endif()
set(folder "${etc}/xdg/OXT srl")
# file(INSTALL) puts DESTDIR before the destination itself.
file(INSTALL "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/mirel-vantor/MirelVantor.conf"
     DESTINATION "${folder}")
