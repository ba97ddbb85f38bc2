# `cmake --install` lays the device out: the application and its sounds under
# the fixed directory the services expect, the unit that starts it after the
# broker as a user of its own, its initial settings, the rule that lets that
# user set the time zone, and the broker bound to localhost. The Debian
# package takes this tree as it stands; its postinst creates the user and
# the state directory /var/lib/quillon.
install(FILES ${CMAKE_BINARY_DIR}/sounds/Valid.wav ${CMAKE_BINARY_DIR}/sounds/Invalid.wav
  DESTINATION ${QUILLON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon.service DESTINATION /lib/systemd/system)
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon-mosquitto.conf
  DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/mosquitto/conf.d RENAME quillon.conf)
# Copied into the state directory when the settings there are missing; the
# application owns that copy.
install(FILES ${CMAKE_SOURCE_DIR}/dist/gui.conf DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon)
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon-polkit.rules
  DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/rules.d RENAME 50-quillon.rules)
# The fleet link: at every start the unit runs the script, which writes the
# broker's bridge from /etc/quillon/fleet.conf (see docs/fleet.md).
install(PROGRAMS ${CMAKE_SOURCE_DIR}/dist/quillon-bridge.sh DESTINATION ${QUILLON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon-bridge.conf.in DESTINATION ${QUILLON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/fleet.conf.example DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/quillon)
install(FILES ${CMAKE_SOURCE_DIR}/dist/central/mosquitto.conf ${CMAKE_SOURCE_DIR}/dist/central/acl
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillon/examples/central)
