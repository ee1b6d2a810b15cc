# The release preset refuses to configure without the publisher's key and hosts, and refuses the
# demo key whatever file holds it, and refuses to build without a signing key unless told to;
# given its own keys it configures, without the warning that the default build prints.  cmake -DSOURCE=... -DWORK=... -P this file
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Configures a preset in a fresh folder; `output` gets what cmake printed, on one line.
function(configure preset name expected_rc)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} --preset ${preset} -B ${WORK}/${name} ${ARGN}
                  TIMEOUT 120
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \t\r\n]+" " " out "${out}${err}")
  if(expected_rc EQUAL 0 AND NOT rc EQUAL 0 OR NOT expected_rc EQUAL 0 AND rc EQUAL 0)
    message(FATAL_ERROR "${name}: configure exited ${rc}:\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_text name text)
  string(FIND "${output}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name}: expected \"${text}\" in:\n${output}")
  endif()
endfunction()

set(host1 -DSETUP_DEFAULT_HOST_1=one.example:80)
set(host2 -DSETUP_DEFAULT_HOST_2=two.example:80)
# The demo key in another file, in lower case and with Windows line ends: still the demo key.
file(READ ${SOURCE}/keys/private.hex demo_key)
string(STRIP "${demo_key}" demo_key)
string(TOLOWER "${demo_key}" demo_key_lower)
file(WRITE ${WORK}/copied-demo-key.hex "${demo_key_lower}\r\n")
# Another key: any other upper-case hex passes the configure step.
file(WRITE ${WORK}/own-key.hex "3082${demo_key}")

# name|arguments joined by "&" ("-" for none)|part of the refusal
set(cases
  "nothing given|-|give SETUP_PRIVATE_KEY_FILE, SETUP_DEFAULT_HOST_1, SETUP_DEFAULT_HOST_2"
  "no hosts|-DSETUP_PRIVATE_KEY_FILE=${WORK}/own-key.hex|give SETUP_DEFAULT_HOST_1, SETUP_DEFAULT_HOST_2"
  "second host missing|-DSETUP_PRIVATE_KEY_FILE=${WORK}/own-key.hex&${host1}|give SETUP_DEFAULT_HOST_2 "
  "empty key setting|-DSETUP_PRIVATE_KEY_FILE=&${host1}&${host2}|give SETUP_PRIVATE_KEY_FILE "
  "key file missing|-DSETUP_PRIVATE_KEY_FILE=${WORK}/none.hex&${host1}&${host2}|SETUP_PRIVATE_KEY_FILE: no file at"
  "demo key of keys/|-DSETUP_PRIVATE_KEY_FILE=${SOURCE}/keys/private.hex&${host1}&${host2}|holds the demo key"
  "demo key copied elsewhere|-DSETUP_PRIVATE_KEY_FILE=${WORK}/copied-demo-key.hex&${host1}&${host2}|holds the demo key"
  "no signing key|-DSETUP_PRIVATE_KEY_FILE=${WORK}/own-key.hex&${host1}&${host2}|give SETUP_SIGNING_PUBLIC_KEY (or -DSETUP_ALLOW_UNSIGNED=ON): the decryption key built into Setup.exe lets anyone")
set(index 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 arguments)
  list(GET fields 2 text)
  string(REPLACE "&" ";" arguments "${arguments}")
  list(REMOVE_ITEM arguments -)
  configure(release refused-${index} 1 ${arguments})
  expect_text("${name}" "release build: ")
  expect_text("${name}" "${text}")
  math(EXPR index "${index} + 1")
endforeach()

# The URL scheme, refused before anything is built: name|argument|part of the refusal.
set(key_and_hosts -DSETUP_PRIVATE_KEY_FILE=${WORK}/own-key.hex ${host1} ${host2}
    -DSETUP_SIGNING_PUBLIC_KEY=${SOURCE}/tests/crypto/keys/signing-public.der)
set(scheme_cases
  "unknown scheme|-DSETUP_URL_SCHEME=ftp|SETUP_URL_SCHEME: give http or https, not 'ftp'"
  "scheme in upper case|-DSETUP_URL_SCHEME=HTTPS|SETUP_URL_SCHEME: give http or https"
  "host written with a scheme|-DSETUP_DEFAULT_HOST_1=https://one.example|SETUP_DEFAULT_HOST_1: give the host without a scheme")
foreach(case IN LISTS scheme_cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 argument)
  list(GET fields 2 text)
  configure(release refused-${index} 1 ${key_and_hosts} ${argument})
  expect_text("${name}" "${text}")
  math(EXPR index "${index} + 1")
endforeach()

# Full configures need Crypto++ for MinGW (scripts/test.sh builds it before the tests).
if(NOT EXISTS ${SOURCE}/build/cryptopp-i686/lib/libcryptopp.a)
  message("SKIPPED the full configures: the refusals hold; the rest needs build/cryptopp-i686")
  file(REMOVE_RECURSE ${WORK})
  return()
endif()
configure(windows for-trying 0)
expect_text("default build" "This Setup.exe is for trying only")
configure(release accepted 0 ${key_and_hosts} -DSETUP_URL_SCHEME=https)
string(FIND "${output}" "for trying only" warned)
if(NOT warned EQUAL -1)
  message(FATAL_ERROR "accepted: the release build warns that it is for trying only:\n${output}")
endif()
file(READ ${WORK}/accepted/generated/app/DefaultHosts.h default_hosts)
expect_text(accepted "Configuring done")
if(NOT default_hosts MATCHES "L\"one.example:80\".*L\"two.example:80\"")
  message(FATAL_ERROR "accepted: the hosts given are not the ones built in:\n${default_hosts}")
endif()
# The release build above forms https URLs; the default build does not.
foreach(build for-trying accepted)
  file(READ ${WORK}/${build}/bootstrap/CMakeFiles/setup_bootstrap.dir/flags.make flags)
  string(FIND "${flags}" "SETUP_URL_SCHEME_HTTPS" https_at)
  if(build STREQUAL accepted AND https_at EQUAL -1 OR build STREQUAL for-trying AND NOT https_at EQUAL -1)
    message(FATAL_ERROR "${build}: the wrong URL scheme is compiled in:\n${flags}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
