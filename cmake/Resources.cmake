# The QML tree (compiled ahead of time), the font, the compiled translation and
# generated artwork are compiled into one resource object library that the application and the
# tests link.
#
# Generated files are registered with quillon_add_generated_resource(ALIAS FILE)
# before this file's end writes the resource list.

set(QUILLON_GENERATED_ALIASES "")
set(QUILLON_GENERATED_FILES "")
macro(quillon_add_generated_resource alias file)
  list(APPEND QUILLON_GENERATED_ALIASES ${alias})
  list(APPEND QUILLON_GENERATED_FILES ${file})
endmacro()

# UI font from the system package, copied at build time.
set(QUILLON_FONT_DIR /usr/share/fonts/truetype/dejavu)
foreach(font DejaVuSans.ttf DejaVuSans-Bold.ttf)
  set(out ${CMAKE_BINARY_DIR}/generated/fonts/${font})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy ${QUILLON_FONT_DIR}/${font} ${out}
    DEPENDS ${QUILLON_FONT_DIR}/${font} VERBATIM)
  quillon_add_generated_resource(qml/fonts/${font} ${out})
endforeach()

# Greek translation.
set(QUILLON_TS ${CMAKE_SOURCE_DIR}/qml/translations/Quillon_el_GR.ts)
if(EXISTS ${QUILLON_TS})
  set(qm ${CMAKE_BINARY_DIR}/generated/translations/Quillon_el_GR.qm)
  add_custom_command(OUTPUT ${qm}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/translations
    COMMAND Qt5::lrelease -silent ${QUILLON_TS} -qm ${qm}
    DEPENDS ${QUILLON_TS} VERBATIM)
  quillon_add_generated_resource(qml/translations/Quillon_el_GR.qm ${qm})
endif()

# `cmake --build build --target translations` refreshes the catalogue source from
# every text marked in the QML and C++ sources; the translator then fills it in.
add_custom_target(translations
  COMMAND Qt5::lupdate -silent -no-obsolete qml src -ts ${QUILLON_TS}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)

include(${CMAKE_SOURCE_DIR}/cmake/Artwork.cmake OPTIONAL)

# Static QML sources; the translation source and the artwork sources rendered
# at build time are not among them.
set(QUILLON_QML_FILES
  qml/controls/CustomButton.qml qml/controls/CustomPopup.qml qml/controls/CustomRoundButton.qml
  qml/controls/FlatElevation.qml qml/controls/HeaderClock.qml qml/controls/ImageBox.qml
  qml/controls/KeyboardPanel.qml qml/controls/ResultDetails.qml qml/controls/ResultPage.qml
  qml/controls/ScanPage.qml qml/controls/ScanPrompt.qml qml/controls/Separator.qml qml/controls/TextBox.qml
  qml/controls/TicketResult.qml qml/controls/TintedIcon.qml qml/images/Icons/arrow-right.svg
  qml/images/Icons/audio.svg qml/images/Icons/brightness-2.svg qml/images/Icons/chevron-left.svg
  qml/images/Icons/clock.svg qml/images/Icons/diagnostic.svg qml/images/Icons/invalid.svg
  qml/images/Icons/lock.svg qml/images/Icons/log.svg qml/images/Icons/network.svg qml/images/Icons/nfc.svg
  qml/images/Icons/qr-code.svg qml/images/Icons/region.svg qml/images/Icons/retry.svg
  qml/images/Icons/search.svg qml/images/Icons/ticket.svg qml/images/Icons/trash.svg
  qml/images/Icons/update.svg qml/images/Icons/valid.svg qml/images/Icons/warning.svg qml/main.qml
  qml/qtquickcontrols2.conf qml/screens/AlreadyValid.qml qml/screens/Busy.qml qml/screens/InitPage.qml
  qml/screens/Invalid.qml qml/screens/OutOfOrder.qml qml/screens/OutOfService.qml qml/screens/Retry.qml
  qml/screens/ScanBarcode.qml qml/screens/ScanCard.qml qml/screens/ScanScreens.qml
  qml/screens/ScreenSaver.qml qml/screens/Valid.qml qml/screens/settings/Audio.qml
  qml/screens/settings/CentredButton.qml qml/screens/settings/Diagnostics.qml
  qml/screens/settings/Display.qml qml/screens/settings/EthernetConfig.qml qml/screens/settings/EventLog.qml
  qml/screens/settings/InfoGroup.qml qml/screens/settings/InfoRow.qml qml/screens/settings/Login.qml
  qml/screens/settings/Main.qml qml/screens/settings/Network.qml qml/screens/settings/PercentSlider.qml
  qml/screens/settings/Region.qml qml/screens/settings/SettingRow.qml qml/screens/settings/SwitchRow.qml
  qml/screens/settings/Update.qml qml/screens/settings/Validator.qml qml/screens/settings/ValidatorConfig.qml
  qml/style/Style.qml qml/style/qmldir)

# QML and JavaScript are compiled ahead of time, so no start pays for
# compiling them and a read-only image needs no cache folder. The compiler
# reads its resource list when CMake configures, so it gets one of its own.
set(QUILLON_QML_CODE ${QUILLON_QML_FILES})
list(FILTER QUILLON_QML_CODE INCLUDE REGEX "\\.(qml|js)$")
list(FILTER QUILLON_QML_FILES EXCLUDE REGEX "\\.(qml|js)$")
set(code_text "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
foreach(f ${QUILLON_QML_CODE})
  string(APPEND code_text "  <file alias=\"${f}\">${CMAKE_SOURCE_DIR}/${f}</file>\n")
endforeach()
string(APPEND code_text "</qresource>\n</RCC>\n")
# Rewritten only when the list changes, so a new configure compiles nothing again.
set(code_qrc ${CMAKE_BINARY_DIR}/generated/quillon_qml.qrc)
file(WRITE ${code_qrc}.new "${code_text}")
configure_file(${code_qrc}.new ${code_qrc} COPYONLY)
find_package(Qt5QuickCompiler REQUIRED)
qtquick_compiler_add_resources(QUILLON_QML_COMPILED ${code_qrc})

set(qrc ${CMAKE_BINARY_DIR}/generated/quillon.qrc)
set(qrc_text "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
set(qrc_deps "")
foreach(f ${QUILLON_QML_FILES})
  if(f STREQUAL "qml/qtquickcontrols2.conf")
    string(APPEND qrc_text "  <file alias=\"qtquickcontrols2.conf\">${CMAKE_SOURCE_DIR}/${f}</file>\n")
  else()
    string(APPEND qrc_text "  <file alias=\"${f}\">${CMAKE_SOURCE_DIR}/${f}</file>\n")
  endif()
  list(APPEND qrc_deps ${CMAKE_SOURCE_DIR}/${f})
endforeach()
list(LENGTH QUILLON_GENERATED_FILES n_generated)
if(n_generated GREATER 0)
  math(EXPR last "${n_generated} - 1")
  foreach(i RANGE ${last})
    list(GET QUILLON_GENERATED_ALIASES ${i} alias)
    list(GET QUILLON_GENERATED_FILES ${i} file)
    # The font is left uncompressed, so the application reads it in place.
    set(attributes "")
    if(alias MATCHES "\\.ttf$")
      set(attributes " compression-algorithm=\"none\"")
    endif()
    string(APPEND qrc_text "  <file alias=\"${alias}\"${attributes}>${file}</file>\n")
    list(APPEND qrc_deps ${file})
  endforeach()
endif()
string(APPEND qrc_text "</qresource>\n</RCC>\n")
file(GENERATE OUTPUT ${qrc} CONTENT "${qrc_text}")

set(qrc_cpp ${CMAKE_BINARY_DIR}/generated/qrc_quillon.cpp)
add_custom_command(OUTPUT ${qrc_cpp}
  COMMAND Qt5::rcc --name quillon --output ${qrc_cpp} ${qrc}
  DEPENDS ${qrc} ${qrc_deps} VERBATIM)
add_library(quillon_resources OBJECT ${qrc_cpp} ${QUILLON_QML_COMPILED})
target_link_libraries(quillon_resources PRIVATE quillon_options Qt5::Core Qt5::Qml)
