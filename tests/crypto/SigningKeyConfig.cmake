# SETUP_SIGNING_PUBLIC_KEY's check at configure time: cmake -DSOURCE=... -DWORK=... -P this file.
cmake_minimum_required(VERSION 3.20)
# With -DKEY (and -DOUT) it is the child that runs the check on one file, or on a list with ","
# in place of ";".
if(DEFINED KEY)
  include(${SOURCE}/cmake/SigningKey.cmake)
  string(REPLACE "," ";" KEY "${KEY}")
  setup_signing_key_header("${KEY}" "${OUT}")
  return()
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(keys ${SOURCE}/tests/crypto/keys)
file(READ ${keys}/signing-public.der key_hex HEX)
# A file holding hex text, and one cut short: both must be refused with the reason.
file(WRITE ${WORK}/hex.txt "${key_hex}")
execute_process(COMMAND head -c 400 ${keys}/signing-public.der OUTPUT_FILE ${WORK}/cut.der)

# file | expected result: "ok" or a part of the error
set(cases
  "${keys}/signing-public.der|ok"
  "${keys}/small-public.der|ok"
  "|ok"
  "${WORK}/missing.der|no file at"
  "${keys}/short-public.der|at least 2048 are needed"
  "${keys}/signing-private.der|no SubjectPublicKeyInfo of an RSA key"
  "${WORK}/hex.txt|does not begin with a DER SEQUENCE"
  "${WORK}/cut.der|DER length does not match"
  "${keys}/signing-public.der,${keys}/other-public.der|ok"
  "${keys}/signing-public.der,${keys}/short-public.der|at least 2048 are needed"
  "${keys}/signing-public.der,${keys}/other-public.der,${keys}/small-public.der,${keys}/signing-public.der|at most three keys")
foreach(case ${cases})
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 key)
  list(GET parts 1 expected)
  set(out ${WORK}/SigningSettings.h)
  file(REMOVE ${out})
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SOURCE} -DKEY=${key} -DOUT=${out} -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(expected STREQUAL "ok")
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "'${key}' was refused:\n${err}")
    endif()
    file(READ ${out} header)
    if(key STREQUAL "")
      set(pattern "kSigningPublicKeyLength = 0;.*kSigningPublicKey2Length = 0;")
    elseif(key MATCHES "^([^,]*),([^,]*)$")
      # Two keys: the second one's length in second place, no third.
      file(SIZE ${CMAKE_MATCH_2} size)
      set(pattern "kSigningPublicKey2Length = ${size};.*kSigningPublicKey3Length = 0;")
    else()
      file(SIZE ${key} size)
      file(READ ${key} first HEX LIMIT 4)
      string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," first "${first}")
      set(pattern "{${first}.*kSigningPublicKeyLength = ${size};")
    endif()
    if(NOT header MATCHES "${pattern}")
      message(FATAL_ERROR "header for '${key}' lacks '${pattern}':\n${header}")
    endif()
  elseif(rc EQUAL 0 OR NOT err MATCHES "${expected}")
    message(FATAL_ERROR "'${key}': exit ${rc}, expected an error with '${expected}':\n${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
