# What Setup.exe's own code is compiled with, applied to the program and every library it links
# (the libraries are also linked into eiftool.exe and the test programs, which keep exceptions in
# their own code: nothing of theirs throws through these libraries).
#
# No exceptions: a bootstrapper has nothing to unwind to. Memory that cannot be had, and the
# library's other faults, end the process after a reason line (app/TerminateHandler.cpp). No
# unwind tables in the 32-bit build either; 64-bit Windows needs them to walk any stack (its
# structured exceptions, a crash report), so they stay there.
function(setup_product_code target)
  set(options $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND options $<$<COMPILE_LANGUAGE:C,CXX>:-fno-asynchronous-unwind-tables>)
  endif()
  set(pending ${target})
  set(seen)
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(imported ${current} IMPORTED)
    if(imported)
      continue()
    endif()
    get_target_property(type ${current} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      target_compile_options(${current} PRIVATE ${options})
      get_target_property(links ${current} LINK_LIBRARIES)
      if(links)
        list(APPEND pending ${links})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND pending ${interface})
    endif()
  endwhile()
endfunction()
