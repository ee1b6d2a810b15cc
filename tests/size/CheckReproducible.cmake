# cmake -DSOURCE=<clone> -DBUILD=<build folder> -DPRESET=windows -P CheckReproducible.cmake
# Configures a second folder of the preset with the first one's publisher settings, builds
# Setup.exe there and compares the two files byte for byte: a publisher can then show that the
# file they ship is the one the sources make. Neither may name the folders it was built in.
set(first "${BUILD}/app/Setup.exe")
if(NOT EXISTS "${first}")
  message(FATAL_ERROR "${first} is missing: build the Setup target first")
endif()

# The settings that choose what goes into Setup.exe (key, hosts, scheme, version texts, rules).
file(STRINGS "${BUILD}/CMakeCache.txt" cached REGEX "^SETUP_[A-Z0-9_]+:[A-Z]+=")
set(settings)
foreach(line IN LISTS cached)
  string(REGEX MATCH "^([A-Z0-9_]+):[A-Z]+=(.*)$" _ "${line}")
  set(name "${CMAKE_MATCH_1}")
  string(REPLACE ";" "\\;" value "${CMAKE_MATCH_2}")
  if(name MATCHES "^SETUP_SIGN_" AND NOT value STREQUAL "")
    message(FATAL_ERROR "${BUILD} signs Setup.exe (${name}): an Authenticode signature "
                        "differs at each signing; compare unsigned builds")
  endif()
  list(APPEND settings "-D${name}=${value}")
endforeach()

string(RANDOM LENGTH 8 ALPHABET abcdefghijklmnopqrstuvwxyz0123456789 tag)
set(second_build "${SOURCE}/build/repro-${tag}")
file(REMOVE_RECURSE "${second_build}")
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(COMMAND ${CMAKE_COMMAND} --preset ${PRESET} -B ${second_build} ${settings}
                WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${second_build} --target Setup -j${cores}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
set(second "${second_build}/app/Setup.exe")
if(NOT rc EQUAL 0 OR NOT EXISTS "${second}")
  file(REMOVE_RECURSE "${second_build}")
  message(FATAL_ERROR "the second build in ${second_build} failed:\n${out}${err}")
endif()

file(SHA256 "${first}" first_sum)
file(SHA256 "${second}" second_sum)
set(problems)
if(NOT first_sum STREQUAL second_sum)
  list(APPEND problems "the two builds differ:\n  ${first_sum}  ${first}\n  ${second_sum}  ${second} (kept)")
endif()
foreach(folder "${SOURCE}" "${BUILD}" "${second_build}")
  string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" pattern "${folder}")
  file(STRINGS "${first}" named LIMIT_COUNT 1 REGEX "${pattern}")
  if(named)
    list(APPEND problems "${first} names the build folder ${folder}: ${named}")
  endif()
endforeach()
if(problems)
  list(JOIN problems "\n" problems)
  message(FATAL_ERROR "${problems}")
endif()
file(REMOVE_RECURSE "${second_build}")
message(STATUS "both builds: ${first_sum}")
