# cmake -DMAP=Setup.map -DEXE=Setup.exe -P CheckSetupLink.cmake
foreach(file "${MAP}" "${EXE}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing: build the Setup target first")
  endif()
endforeach()

# A map of another form would match nothing below and pass: it must name libstdc++'s members.
file(STRINGS "${MAP}" runtime REGEX "libstdc\\+\\+\\.a\\([^)]+\\)")
if(NOT runtime)
  message(FATAL_ERROR "${MAP} names no member of libstdc++.a: not a linker map of the expected form")
endif()

set(unwanted "libcryptopp\\.a|libstdc\\+\\+\\.a\\((ios|locale|codecvt|ctype|[a-z]*stream|(cow-)?fs_|cp-demangle|vterminate)[^)]*\\)")
file(STRINGS "${MAP}" found REGEX "${unwanted}")
if(found)
  list(TRANSFORM found STRIP)
  list(REMOVE_DUPLICATES found)
  list(SUBLIST found 0 20 found)
  list(JOIN found "\n  " lines)
  message(FATAL_ERROR "Setup.exe links what it must not:\n  ${lines}")
endif()

file(STRINGS "${EXE}" debug REGEX "\\.debug_(info|line|abbrev)")
if(debug)
  message(FATAL_ERROR "${EXE} holds debug sections")
endif()
message(STATUS "Setup.exe: no Crypto++, streams, locales, file system, demangler or debug sections")
