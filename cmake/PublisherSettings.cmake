# Publisher settings: the key that decrypts descriptions and the two hosts that serve them.
# Included before project(), so a release configuration that lacks them stops at once.
#
# A default build takes the demo key of keys/ and two loopback hosts, so that the tests and the
# demo work from a fresh clone; its Setup.exe is for trying only and the configure step says so.
# A release build (SETUP_RELEASE, the "release" preset) must be given all three and refuses the
# demo key, whatever file it comes from.

option(SETUP_RELEASE "A Setup.exe to ship: publisher key and hosts required, demo key refused" OFF)
option(SETUP_ALLOW_UNSIGNED "Release build: accept being built without SETUP_SIGNING_PUBLIC_KEY" OFF)

set(SETUP_DEMO_KEY_FILE ${CMAKE_CURRENT_LIST_DIR}/../keys/private.hex)

# The key's text as it is compared: upper-case hex without white space.
function(setup_key_text file out)
  file(READ "${file}" text)
  string(REGEX REPLACE "[ \t\r\n]" "" text "${text}")
  string(TOUPPER "${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(SETUP_RELEASE)
  set(missing)
  foreach(setting SETUP_PRIVATE_KEY_FILE SETUP_DEFAULT_HOST_1 SETUP_DEFAULT_HOST_2)
    if("${${setting}}" STREQUAL "")
      list(APPEND missing ${setting})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "release build: give ${missing} (-D<name>=<value>); the demo settings "
                        "are not used for a Setup.exe to ship")
  endif()
  if(NOT EXISTS "${SETUP_PRIVATE_KEY_FILE}")
    message(FATAL_ERROR "release build: SETUP_PRIVATE_KEY_FILE: no file at '${SETUP_PRIVATE_KEY_FILE}'")
  endif()
  setup_key_text("${SETUP_PRIVATE_KEY_FILE}" given_key)
  setup_key_text("${SETUP_DEMO_KEY_FILE}" demo_key)
  if(given_key STREQUAL demo_key)
    message(FATAL_ERROR "release build: '${SETUP_PRIVATE_KEY_FILE}' holds the demo key of keys/, "
                        "which everyone can read; make your own with `eiftool keygen`")
  endif()
  if("${SETUP_SIGNING_PUBLIC_KEY}" STREQUAL "" AND NOT SETUP_ALLOW_UNSIGNED)
    message(FATAL_ERROR "release build: give SETUP_SIGNING_PUBLIC_KEY (or -DSETUP_ALLOW_UNSIGNED=ON): "
                        "the decryption key built into Setup.exe lets anyone who has it pack a "
                        "description it accepts")
  endif()
endif()

set(SETUP_PRIVATE_KEY_FILE ${SETUP_DEMO_KEY_FILE} CACHE FILEPATH
    "File holding the RSA private key (upper-case hex of its PKCS #8 DER encoding)")
set(SETUP_DEFAULT_HOST_1 "127.0.0.1:18081" CACHE STRING "First host that serves SetupInitial.eif")
set(SETUP_DEFAULT_HOST_2 "127.0.0.1:18082" CACHE STRING "Second host that serves SetupInitial.eif")

# The scheme of every URL Setup.exe forms, for every preset: "http" or "https" (a host that
# serves HTTPS only; its certificate must hold for Windows, nothing waives a check).
set(SETUP_URL_SCHEME "http" CACHE STRING "Scheme of every URL Setup.exe forms: http or https")
set_property(CACHE SETUP_URL_SCHEME PROPERTY STRINGS http https)
if(NOT SETUP_URL_SCHEME MATCHES "^(http|https)$")
  message(FATAL_ERROR "SETUP_URL_SCHEME: give http or https, not '${SETUP_URL_SCHEME}'")
endif()
# The scheme comes from SETUP_URL_SCHEME alone: a host written with one would be requested as
# "http://https://...", which no server answers.
foreach(setting SETUP_DEFAULT_HOST_1 SETUP_DEFAULT_HOST_2)
  if("${${setting}}" MATCHES "://")
    message(FATAL_ERROR "${setting}: give the host without a scheme ('${${setting}}'); "
                        "SETUP_URL_SCHEME chooses http or https")
  endif()
endforeach()

# Said once the build knows it makes Setup.exe (after project()).
function(setup_warn_if_for_trying_only)
  setup_key_text("${SETUP_PRIVATE_KEY_FILE}" given_key)
  setup_key_text("${SETUP_DEMO_KEY_FILE}" demo_key)
  if(WIN32 AND NOT SETUP_RELEASE AND given_key STREQUAL demo_key)
    message(WARNING "This Setup.exe is for trying only: it holds the demo key of keys/, which "
                    "everyone can read, and downloads from ${SETUP_DEFAULT_HOST_1} and "
                    "${SETUP_DEFAULT_HOST_2}. For a Setup.exe to ship, configure the release "
                    "preset with your own key and hosts (see README.md).")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL setup_warn_if_for_trying_only)
