# Raster artwork. Every PNG under qml/images/ is drawn as SVG under
# qml/images/src/ and rendered by the svg2png tool at build time, so no
# binary image lives in the tree. Each animation has one frame template; a
# frame fills in the template's placeholders and is rendered like any other
# source.

set(QUILLON_ART_SRC ${CMAKE_SOURCE_DIR}/qml/images/src)
set(QUILLON_ART_OUT ${CMAKE_BINARY_DIR}/generated/images)

# quillon_render_png(<svg> <path below qml/images> <width> <height> [svg2png options...])
function(quillon_render_png svg path width height)
  set(png ${QUILLON_ART_OUT}/${path})
  get_filename_component(dir ${png} DIRECTORY)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND svg2png ${ARGN} ${svg} ${png} ${width} ${height}
    DEPENDS ${svg} svg2png
    COMMENT "Rendering qml/images/${path}"
    VERBATIM)
  quillon_add_generated_resource(qml/images/${path} ${png})
  set(QUILLON_GENERATED_ALIASES ${QUILLON_GENERATED_ALIASES} PARENT_SCOPE)
  set(QUILLON_GENERATED_FILES ${QUILLON_GENERATED_FILES} PARENT_SCOPE)
endfunction()

# quillon_render_frame(<template> <names> <path> <width> <height> <values>...)
# Sets each placeholder named in the list <names> to the matching value and
# renders the filled template.
function(quillon_render_frame template names path width height)
  list(LENGTH names count)
  list(LENGTH ARGN given)
  if(NOT count EQUAL given)
    message(FATAL_ERROR "${path}: ${count} placeholders but ${given} values")
  endif()
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET names ${i} name)
    list(GET ARGN ${i} value)
    set(${name} ${value})
  endforeach()
  string(REGEX REPLACE "\\.png$" ".svg" svg ${CMAKE_BINARY_DIR}/generated/images-src/${path})
  configure_file(${template} ${svg} @ONLY)
  quillon_render_png(${svg} ${path} ${width} ${height})
  set(QUILLON_GENERATED_ALIASES ${QUILLON_GENERATED_ALIASES} PARENT_SCOPE)
  set(QUILLON_GENERATED_FILES ${QUILLON_GENERATED_FILES} PARENT_SCOPE)
endfunction()

# quillon_render_icon(<name> <colour> <size>...)
# An icon of qml/images/Icons/ in one colour, at each size a page shows it:
# Icons/<name>-<colour without "#">-<size>.png, the name TintedIcon.qml loads.
# Colours are written as QML writes them: lower case, alpha first when not opaque.
function(quillon_render_icon name colour)
  string(SUBSTRING ${colour} 1 -1 shade)
  foreach(size ${ARGN})
    quillon_render_png(${CMAKE_SOURCE_DIR}/qml/images/Icons/${name}.svg Icons/${name}-${shade}-${size}.png
                       ${size} ${size} --colour ${colour})
  endforeach()
  set(QUILLON_GENERATED_ALIASES ${QUILLON_GENERATED_ALIASES} PARENT_SCOPE)
  set(QUILLON_GENERATED_FILES ${QUILLON_GENERATED_FILES} PARENT_SCOPE)
endfunction()

# quillon_render_shadow(<radius>)
# A round button's shadow: its disc blurred by the style's 8 pixels (a Gaussian
# of deviation 2.7) in black at half opacity, 8 pixels wider on each side than
# the disc. The page places it at the style's offset.
function(quillon_render_shadow radius)
  math(EXPR CENTRE "${radius} + 8")
  math(EXPR SIDE "2 * ${CENTRE}")
  set(RADIUS ${radius})
  set(svg ${CMAKE_BINARY_DIR}/generated/images-src/Shadows/round-${radius}.svg)
  configure_file(${QUILLON_ART_SRC}/Shadows/round.svg.in ${svg} @ONLY)
  quillon_render_png(${svg} Shadows/round-${radius}.png ${SIDE} ${SIDE} --blur 2.7 --colour "#80000000")
  set(QUILLON_GENERATED_ALIASES ${QUILLON_GENERATED_ALIASES} PARENT_SCOPE)
  set(QUILLON_GENERATED_FILES ${QUILLON_GENERATED_FILES} PARENT_SCOPE)
endfunction()

# The window stretches the background over itself and the header.
quillon_render_png(${QUILLON_ART_SRC}/background.svg background.png 480 800)
# Discs for the round language button.
quillon_render_png(${QUILLON_ART_SRC}/Flags/gr.svg Flags/gr.png 200 200)
quillon_render_png(${QUILLON_ART_SRC}/Flags/uk.svg Flags/uk.png 200 200)
# Shown at 300 x 300 on the screen saver.
quillon_render_png(${QUILLON_ART_SRC}/Icons/kivo.svg Icons/kivo.png 300 300)
quillon_render_png(${QUILLON_ART_SRC}/Icons/menu.svg Icons/menu.png 48 48)

# Card animation: the card drops onto the reader (frames 0-2), lands and the
# reader answers with widening waves and a green light (3-6).
set(art_nfc_names CARD_X CARD_Y CARD_ROT SHADOW_DX SHADOW_DY SHADOW_OP WAVE1 WAVE2 WAVE3 LED)
set(art_nfc ${QUILLON_ART_SRC}/NFC/frame.svg.in)
set(art_idle "#29466b")
set(art_accent "#00add7")
set(art_green "#41b987")
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/0.png 300 300  92  76 -20 24 28 0.22 0    0   0   ${art_idle})
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/1.png 300 300 121 108 -14 17 20 0.26 0    0   0   ${art_idle})
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/2.png 300 300 151 140  -7 10 12 0.30 0    0   0   ${art_idle})
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/3.png 300 300 180 172   0  3  4 0.35 0.9  0   0   ${art_accent})
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/4.png 300 300 180 172   0  3  4 0.35 1    0.7 0   ${art_green})
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/5.png 300 300 180 172   0  3  4 0.35 0.55 1   0.6 ${art_green})
quillon_render_frame(${art_nfc} "${art_nfc_names}" NFC/6.png 300 300 176 164  -2  7  8 0.32 0.2  0.5 1   ${art_green})

# Ticket animation: the ticket comes up to the reader (frames 0-1), the scan
# line sweeps its code (2-6), the frame turns green (7) and a check shows (8).
set(art_barcode_names TICKET_DY TICKET_ROT FRAME FRAME_OP LINE_Y LINE_OP BADGE_OP)
set(art_barcode ${QUILLON_ART_SRC}/Barcode/frame.svg.in)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/0.png 300 300 45 8 ${art_accent} 0.45 112 0 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/1.png 300 300 16 3 ${art_accent} 0.7  112 0 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/2.png 300 300  0 0 ${art_accent} 1    112 1 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/3.png 300 300  0 0 ${art_accent} 1    137 1 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/4.png 300 300  0 0 ${art_accent} 1    161 1 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/5.png 300 300  0 0 ${art_accent} 1    185 1 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/6.png 300 300  0 0 ${art_accent} 1    210 1 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/7.png 300 300  0 0 ${art_green}  1    210 0 0)
quillon_render_frame(${art_barcode} "${art_barcode_names}" Barcode/8.png 300 300  0 0 ${art_green}  1    210 0 1)

# Icons and shadows are drawn here rather than by effects at run time, so a
# board without a GPU (Qt Quick's software renderer draws no shader effects)
# shows the same pixels. The colours are the style's (qml/style/Style.qml).
set(art_valid "#41b987")
set(art_warning "#fcdb03")
set(art_error "#db4a37")
set(art_white "#ffffff")
# Results and states of the validator.
quillon_render_icon(valid ${art_valid} 250)
quillon_render_icon(invalid ${art_error} 250)
quillon_render_icon(retry ${art_warning} 250)
quillon_render_icon(warning ${art_warning} 250 300)
quillon_render_icon(warning ${art_error} 300)
# The scan pages' buttons and the PIN page.
quillon_render_icon(qr-code ${art_white} 50)
quillon_render_icon(nfc ${art_white} 50)
quillon_render_icon(lock ${art_accent} 35)
# The menu and the event log follow the theme's text colour, dark or light.
foreach(foreground ${art_white} "#dd000000")
  foreach(icon ticket diagnostic region audio brightness-2 network update log)
    quillon_render_icon(${icon} ${foreground} 48)
  endforeach()
  quillon_render_icon(search ${foreground} 30)
  quillon_render_icon(trash ${foreground} 24)
  quillon_render_icon(clock ${foreground} 16)
endforeach()
# The header's language button.
quillon_render_shadow(35)
