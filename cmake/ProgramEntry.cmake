# A program built from app/main.cpp starts at its SetupEntry, which narrows the library search
# before the runtime's start-up (32-bit symbols carry a leading underscore).
function(setup_program_entry target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--entry=_SetupEntry)
  else()
    target_link_options(${target} PRIVATE -Wl,--entry=SetupEntry)
  endif()
endfunction()
