# `cmake --install` lays the device out: the application and its sounds under
# the fixed directory the services expect, the unit that starts it after the
# broker, its settings file, and the broker bound to localhost. The Debian
# package takes this tree as it stands.
set(QUILLON_INSTALL_DIR /opt/kivo/quillon)
install(FILES ${CMAKE_BINARY_DIR}/sounds/Valid.wav ${CMAKE_BINARY_DIR}/sounds/Invalid.wav
  DESTINATION ${QUILLON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon.service DESTINATION /lib/systemd/system)
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon-mosquitto.conf
  DESTINATION /etc/mosquitto/conf.d RENAME quillon.conf)
install(FILES ${CMAKE_SOURCE_DIR}/dist/gui.conf DESTINATION /etc/quillon)
# The fleet link: at every start the unit runs the script, which writes the
# broker's bridge from /etc/quillon/fleet.conf (see docs/fleet.md).
install(PROGRAMS ${CMAKE_SOURCE_DIR}/dist/quillon-bridge.sh DESTINATION ${QUILLON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/quillon-bridge.conf.in DESTINATION ${QUILLON_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/dist/fleet.conf.example DESTINATION /etc/quillon)
