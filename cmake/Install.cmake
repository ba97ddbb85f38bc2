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
