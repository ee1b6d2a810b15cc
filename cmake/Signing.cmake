# Authenticode signing of Setup.exe after it is linked, with osslsigncode (SHA-256 digest).
# Nothing is signed, and nothing is said, unless SETUP_SIGN_CERT and SETUP_SIGN_KEY are set.
#   SETUP_SIGN_CERT            certificate (PEM), or the PKCS #12 file holding key and chain
#   SETUP_SIGN_KEY             private key (PEM), or the same PKCS #12 file
#   SETUP_SIGN_PASSWORD_FILE   file whose first line is the key's password (optional)
#   SETUP_SIGN_TIMESTAMP_URL   RFC 3161 time-stamp server (optional)
set(SETUP_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate (PEM) or PKCS #12 file")
set(SETUP_SIGN_KEY "" CACHE FILEPATH "Code-signing private key (PEM) or the same PKCS #12 file")
set(SETUP_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the password of the signing key")
set(SETUP_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server for the signature")

# Signs `target` in place as the last step of its build (after any stripping at link time).
function(setup_sign_after_link target)
  if(SETUP_SIGN_CERT STREQUAL "" AND SETUP_SIGN_KEY STREQUAL "")
    return()
  endif()
  if(SETUP_SIGN_CERT STREQUAL "" OR SETUP_SIGN_KEY STREQUAL "")
    message(FATAL_ERROR "Signing needs both SETUP_SIGN_CERT and SETUP_SIGN_KEY")
  endif()
  foreach(file SETUP_SIGN_CERT SETUP_SIGN_KEY SETUP_SIGN_PASSWORD_FILE)
    if(NOT ${file} STREQUAL "" AND NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file}: no file at '${${file}}'")
    endif()
  endforeach()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DFILE=$<TARGET_FILE:${target}>
            -DCERT=${SETUP_SIGN_CERT} -DKEY=${SETUP_SIGN_KEY}
            -DPASSWORD_FILE=${SETUP_SIGN_PASSWORD_FILE} -DTIMESTAMP_URL=${SETUP_SIGN_TIMESTAMP_URL}
            -P ${CMAKE_SOURCE_DIR}/cmake/SignExecutable.cmake
    COMMENT "Signing ${target}"
    VERBATIM)
endfunction()
