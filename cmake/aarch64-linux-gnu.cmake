# Cross build for the device's arm64 board on a Debian build machine that has
# the arm64 libraries through multiarch (scripts/package.sh arm64 installs
# them): the cross compilers, and pkg-config over the arm64 .pc files. Qt's
# moc, rcc and lrelease stay the build machine's; svg2png and soundgen come
# from a native tree (QUILLON_HOST_TOOLS, cmake/HostTools.cmake).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(PKG_CONFIG_EXECUTABLE /usr/bin/aarch64-linux-gnu-pkg-config CACHE FILEPATH "")
