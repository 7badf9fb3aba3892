# Feeds the asset generator copies of the art with one known fault each and expects it to
# refuse every one, naming the fault. Guards the sheet rules at the source, where a slip
# (one smiley redrawn without the other, say) is easiest to make.
foreach(var GENERATOR SOURCES SCRATCH)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "RejectBadArt.cmake needs -D${var}=...")
    endif()
endforeach()

# case name; file under the art folder; text to find; replacement; words the error must contain
set(cases
    "corner|characters/00_red_mouse.txt|grid\n................................|grid\nK...............................|corner"
    "pair|characters/06_showa_smiley_colour.txt|grid\n..............bbbb..............\n..........|grid\n..............bbbb..............\n.........Y|share one mask"
    "bright grey|characters/05_showa_smiley.txt|b = 48 48 48 outline|b = 60 60 60 outline|near-black"
    "unused colour|characters/01_penguin.txt|\ngrid\n|\nZ = 1 2 3\ngrid\n|defined but not used"
    "icon colour|icons/window_icon.txt|R = 255 0 0|R = 254 0 0|sixteen classic colours")

set(failures 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 file)
    list(GET fields 2 find)
    list(GET fields 3 replace)
    list(GET fields 4 expected)
    string(REPLACE "\\n" "\n" find "${find}")
    string(REPLACE "\\n" "\n" replace "${replace}")

    file(REMOVE_RECURSE ${SCRATCH})
    file(MAKE_DIRECTORY ${SCRATCH})
    file(COPY ${SOURCES}/characters ${SOURCES}/icons DESTINATION ${SCRATCH})
    file(READ ${SCRATCH}/${file} text)
    string(FIND "${text}" "${find}" at)
    if(at EQUAL -1)
        message(SEND_ERROR "${name}: the art no longer contains the text this case changes")
        math(EXPR failures "${failures} + 1")
        continue()
    endif()
    string(REPLACE "${find}" "${replace}" text "${text}")
    file(WRITE ${SCRATCH}/${file} "${text}")

    execute_process(COMMAND ${GENERATOR} ${SCRATCH} ${SCRATCH}/out
                    RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
    if(result EQUAL 0)
        message(SEND_ERROR "${name}: the generator accepted the faulty art")
        math(EXPR failures "${failures} + 1")
    elseif(NOT error MATCHES "${expected}")
        message(SEND_ERROR "${name}: refused, but not for the fault: ${error}")
        math(EXPR failures "${failures} + 1")
    else()
        message(STATUS "${name}: refused (${error})")
    endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
if(failures)
    message(FATAL_ERROR "${failures} faulty art sources were not refused")
endif()
