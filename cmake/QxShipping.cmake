# How the Windows programs are built to ship: small, and the same bytes from every clean build
# of a commit wherever it is checked out. Included by the top level before any target.
if(NOT WIN32)
  return()
endif()

# --- Reproducible ------------------------------------------------------------------------
# No path of the checkout or of its build folder in any output (debug info, LTO streams, any
# future __FILE__), and no link time in the PE header.
# (The build folder is often inside the checkout; the later map wins.)
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/quenrix>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=/quenrix/build>")
add_link_options(-Wl,--no-insert-timestamp)
# Archives without member times or owners (binutils' default here; said out loud so that a
# toolchain built otherwise cannot change the archives behind our backs).
foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()

# --- Small ----------------------------------------------------------------------------------
# Nearly all code waits on the user, the network or the platform: optimised for size.
# The few hot loops keep the speed options they always had (qx_hot_sources).
add_compile_options("$<$<AND:$<CONFIG:Release>,$<COMPILE_LANGUAGE:C,CXX>>:-Os>")
add_link_options("$<$<CONFIG:Release>:-Os>")

# Link-time optimisation is what drops the unused code here: on this target the linker keeps
# every .eh_frame, whose entries reach every function, so --gc-sections frees next to nothing.
# The objects carry both their LTO form and ordinary code. Programs marked QX_LTO (what ships,
# and the test build and benches of it) link the LTO form; the test programs link the ordinary
# code, since GNU ld for PE reports template code that LTO and non-LTO objects (the test
# framework's) both carry as defined twice, and a test link should not redo the whole
# optimisation. No partitions, the whole program optimised and compiled in the one link-time
# process: split across partitions GCC 12 stops with an internal error in binds_to_current_def_p,
# and even with a single partition streamed to a second process it writes some localised
# template code twice ("two or more sections for ...") once a program is as large as Skin Preview.
add_compile_options("$<$<AND:$<CONFIG:Release>,$<COMPILE_LANGUAGE:C,CXX>>:-flto;-ffat-lto-objects>")
set(qx_lto "$<AND:$<CONFIG:Release>,$<BOOL:$<TARGET_PROPERTY:QX_LTO>>>")
set(qx_no_lto "$<AND:$<CONFIG:Release>,$<NOT:$<BOOL:$<TARGET_PROPERTY:QX_LTO>>>>")
add_link_options("$<${qx_lto}:-flto=auto>" "$<${qx_lto}:-flto-partition=none>" "$<${qx_no_lto}:-fno-lto>")
unset(qx_lto)
unset(qx_no_lto)

# Sources whose loops run over every byte or pixel (decompression, bitmap decoding): -O3 as
# before, so the shipped program loads and paints its skin as fast as ever.
function(qx_hot_sources target)
  set_property(SOURCE ${ARGN} TARGET_DIRECTORY ${target}
    APPEND PROPERTY COMPILE_OPTIONS "$<$<CONFIG:Release>:-O3>")
endfunction()

# Programs linked as the shipped ones are: with link-time optimisation.
function(qx_optimised_program)
  set_property(TARGET ${ARGN} PROPERTY QX_LTO ON)
endfunction()

# A program that ships: optimised at link time, no symbols or debugging sections, and a link
# map beside it to see what pulls in which part of the runtime.
function(qx_shipped_program target)
  qx_optimised_program(${target})
  target_link_options(${target} PRIVATE "$<$<CONFIG:Release>:-s>"
    "-Wl,-Map,$<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.map")
endfunction()
