# Qt Quick Test cases of the pages. One runner loads the pages from the
# compiled resources; every tests/qml/tst_*.qml is its own CTest test.
set(QUILLON_QML_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
add_executable(quillon_qmltests ${QUILLON_QML_TEST_DIR}/QmlTestRunner.cpp)
target_link_libraries(quillon_qmltests PRIVATE
  quillon_resources Qt5::Quick Qt5::QuickControls2 Qt5::QuickTest)

file(GLOB QUILLON_QML_TESTS CONFIGURE_DEPENDS ${QUILLON_QML_TEST_DIR}/tst_*.qml)
foreach(qml ${QUILLON_QML_TESTS})
  get_filename_component(name ${qml} NAME_WE)
  add_test(NAME qml_${name} COMMAND quillon_qmltests -input ${qml})
  set_tests_properties(qml_${name} PROPERTIES TIMEOUT 120)
endforeach()
