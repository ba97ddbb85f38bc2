# The arm64 build (scripts/package.sh arm64) under qemu: it tells its version,
# and the end-to-end validation road runs it against this build's simulator
# and a private broker. Both are skipped while there is no arm64 build; they
# run once, in the normal build.
if(QUILLON_ASAN OR QUILLON_FUZZ)
  return()
endif()
set(QUILLON_ARM64_BIN ${CMAKE_SOURCE_DIR}/build-arm64/quillon CACHE FILEPATH "arm64 quillon the arm64 tests run")
set(qemu ${CMAKE_CURRENT_LIST_DIR}/qemu-quillon.sh)
add_test(NAME arm64_Version COMMAND ${qemu} -V)
add_test(NAME arm64_ValidationRoad COMMAND ${QUILLON_OWN_DISPLAY} ${qemu} --test $<TARGET_FILE:tst_EndToEnd> validationRoad)
set_tests_properties(arm64_Version arm64_ValidationRoad PROPERTIES LABELS arm64 SKIP_RETURN_CODE 77)
# The version needs no display.
set_tests_properties(arm64_Version PROPERTIES PASS_REGULAR_EXPRESSION "Quillon ${PROJECT_VERSION}"
  ENVIRONMENT "QUILLON_ARM64_BIN=${QUILLON_ARM64_BIN};QT_QPA_PLATFORM=offscreen")
# Qt Quick's software renderer: Mesa's would compile its shaders with LLVM,
# itself emulated, and starve the application's event loop for seconds.
set_tests_properties(arm64_ValidationRoad PROPERTIES RUN_SERIAL TRUE TIMEOUT 300
  ENVIRONMENT "QUILLON_ARM64_BIN=${QUILLON_ARM64_BIN};QT_QUICK_BACKEND=software")
