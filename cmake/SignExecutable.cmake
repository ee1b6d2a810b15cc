# Signs one executable in place with osslsigncode, SHA-256 digest:
#   cmake -DOSSLSIGNCODE=... -DFILE=... -DCERT=... -DKEY=... [-DPASSWORD_FILE=...]
#         [-DTIMESTAMP_URL=...] -P SignExecutable.cmake
# CERT and KEY name the same file for PKCS #12 (.p12, .pfx), a certificate and a key for PEM.
foreach(required OSSLSIGNCODE FILE CERT KEY)
  if("${${required}}" STREQUAL "")
    message(FATAL_ERROR "SignExecutable.cmake: ${required} is not set")
  endif()
endforeach()

set(arguments sign -h sha256)
if(CERT STREQUAL KEY)
  list(APPEND arguments -pkcs12 ${CERT})
else()
  list(APPEND arguments -certs ${CERT} -key ${KEY})
endif()
if(NOT "${PASSWORD_FILE}" STREQUAL "")
  list(APPEND arguments -readpass ${PASSWORD_FILE})
endif()
if(NOT "${TIMESTAMP_URL}" STREQUAL "")
  list(APPEND arguments -ts ${TIMESTAMP_URL})
endif()

# osslsigncode writes a new file; the signed one replaces the original only when all went well.
set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(COMMAND ${OSSLSIGNCODE} ${arguments} -in ${FILE} -out ${signed}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  file(REMOVE "${signed}")
  message(FATAL_ERROR "osslsigncode could not sign ${FILE}:\n${out}${err}")
endif()
file(RENAME "${signed}" "${FILE}")
