# System libraries that a program may load on first use rather than at its start.
#
# tessaro_delay_loadable(name FUNCTIONS...) makes a delay-load import library of the functions of
# name.dll (each given with its i686 stdcall decoration, which 64-bit builds drop) and sets TS_LINK_<name>
# to what a library of ours links for name.dll: the delay-load library in a program whose
# TESSARO_LOAD_ON_FIRST_USE property is true, the ordinary import library everywhere else. The choice is
# made for the program being linked, so a library shared by both kinds of programs links right in each.
# A function used but missing from the list comes from the ordinary import library instead, and the
# setup image's import check then names the library.
function(tessaro_delay_loadable name)
  set(folder ${CMAKE_BINARY_DIR}/delayload)
  set(definition "LIBRARY ${name}.dll\nEXPORTS\n")
  foreach(function ${ARGN})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(REGEX REPLACE "@[0-9]+$" "" function ${function})
    endif()
    string(APPEND definition "${function}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${folder}/${name}.def CONTENT "${definition}")
  set(library ${folder}/lib${name}_delay.a)
  set(flags)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(flags --kill-at)  # the DLL exports the plain names
  endif()
  add_custom_command(OUTPUT ${library}
    COMMAND ${TESSARO_MINGW_TRIPLE}-dlltool ${flags} --input-def ${folder}/${name}.def --output-delaylib ${library}
    DEPENDS ${folder}/${name}.def)
  add_custom_target(ts_delayload_${name} DEPENDS ${library})
  set(on_first_use "$<BOOL:$<TARGET_PROPERTY:TESSARO_LOAD_ON_FIRST_USE>>")
  set(TS_LINK_${name} "$<${on_first_use}:${library}>" "$<${on_first_use}:delayimp>"
    "$<$<NOT:${on_first_use}>:${name}>" PARENT_SCOPE)
endfunction()
