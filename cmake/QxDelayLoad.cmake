# Libraries of the platform that are not among its known DLLs are not imported by the programs:
# the loader would look for them in the program's folder first, before the program's first
# instruction, and a library of that name placed there (a downloads folder) would run inside
# it. They are delay-loaded instead: the first call loads the library, after the program has
# limited the library search to the system folder. QX_DELAYED_<name> is the path of the
# delay-import library to link in place of <name>.
if(NOT WIN32)
  return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(qx_delay_machine i386)
else()
  set(qx_delay_machine i386:x86-64)
endif()
if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
  message(FATAL_ERROR "the toolchain's dlltool and nm make the delay-import libraries; neither may be missing")
endif()

foreach(qx_name comctl32 msimg32 gdiplus)
  find_library(QX_IMPORT_LIB_${qx_name} NAMES lib${qx_name}.a REQUIRED)
  set(qx_out ${CMAKE_BINARY_DIR}/delayload/lib${qx_name}_delay.a)
  if(NOT EXISTS ${qx_out} OR ${QX_IMPORT_LIB_${qx_name}} IS_NEWER_THAN ${qx_out}
     OR ${CMAKE_CURRENT_LIST_DIR}/delay_import_library.py IS_NEWER_THAN ${qx_out})
    execute_process(
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/delay_import_library.py ${CMAKE_NM} ${CMAKE_DLLTOOL}
              ${qx_delay_machine} ${QX_IMPORT_LIB_${qx_name}} ${qx_name}.dll ${qx_out}
      RESULT_VARIABLE qx_result)
    if(NOT qx_result EQUAL 0)
      message(FATAL_ERROR "cannot make the delay-import library of ${qx_name}")
    endif()
  endif()
  set(QX_DELAYED_${qx_name} ${qx_out})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/delay_import_library.py)

# The program's first instruction is RestrictLibrarySearchToSystem (src/app/ProgramEntry.cpp),
# ahead of the runtime's start-up and every static constructor.
function(qx_restricted_entry target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,-e,_QxProgramEntry)
  else()
    target_link_options(${target} PRIVATE -Wl,-e,QxProgramEntry)
  endif()
endfunction()
