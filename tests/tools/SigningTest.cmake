# Authenticode signing as the build does it, on copies of a built Setup.exe, with throw-away
# certificates: cmake -DEXE=... -DSOURCE=... -DWORK=... -DSIGNED_BUILD=ON|OFF -P this file.
cmake_minimum_required(VERSION 3.20)
find_program(OPENSSL openssl REQUIRED)
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
  set(rc "${rc}" PARENT_SCOPE)
  set(out "${out}${err}" PARENT_SCOPE)
endfunction()

function(must)
  run(${ARGN})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: exit ${rc}\n${out}")
  endif()
endfunction()

# A build without signing settings leaves the executable as the linker made it.
if(NOT SIGNED_BUILD)
  run(${OSSLSIGNCODE} verify -in ${EXE})
  if(rc EQUAL 0 OR NOT out MATCHES "No signature found")
    message(FATAL_ERROR "the unsigned build's ${EXE} carries a signature:\n${out}")
  endif()
endif()

file(WRITE ${WORK}/password.txt "throw-away\n")
must(${OPENSSL} req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Throw-away code signing"
     -addext extendedKeyUsage=codeSigning -keyout ${WORK}/key.pem -out ${WORK}/cert.pem)
must(${OPENSSL} pkcs12 -export -in ${WORK}/cert.pem -inkey ${WORK}/key.pem -out ${WORK}/cert.p12
     -passout file:${WORK}/password.txt)
must(${OPENSSL} pkey -in ${WORK}/key.pem -aes256 -passout file:${WORK}/password.txt -out ${WORK}/key-locked.pem)

# form: certificate, key, password file ("" for none)
set(forms "pem|cert.pem|key.pem|" "pem-with-password|cert.pem|key-locked.pem|password.txt"
          "pkcs12|cert.p12|cert.p12|password.txt")
foreach(form ${forms})
  string(REPLACE "|" ";" parts "${form}")
  list(GET parts 0 name)
  list(GET parts 1 cert)
  list(GET parts 2 key)
  list(GET parts 3 password)
  set(password_argument "")
  if(password)
    set(password_argument -DPASSWORD_FILE=${WORK}/${password})
  endif()
  set(copy ${WORK}/${name}/Setup.exe)
  file(COPY ${EXE} DESTINATION ${WORK}/${name})
  must(${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DFILE=${copy} -DCERT=${WORK}/${cert}
       -DKEY=${WORK}/${key} ${password_argument} -P ${SOURCE}/cmake/SignExecutable.cmake)
  run(${OSSLSIGNCODE} verify -in ${copy} -CAfile ${WORK}/cert.pem)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Message digest algorithm  : SHA256"
     OR NOT out MATCHES "Signature verification: ok" OR NOT out MATCHES "Throw-away code signing")
    message(FATAL_ERROR "${name}: the signed copy does not verify:\n${out}")
  endif()
endforeach()

# A wrong password leaves the file as it was and fails the step.
file(WRITE ${WORK}/wrong.txt "not-it\n")
file(COPY ${EXE} DESTINATION ${WORK}/wrong)
run(${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DFILE=${WORK}/wrong/Setup.exe -DCERT=${WORK}/cert.p12
    -DKEY=${WORK}/cert.p12 -DPASSWORD_FILE=${WORK}/wrong.txt -P ${SOURCE}/cmake/SignExecutable.cmake)
file(SHA256 ${EXE} original)
file(SHA256 ${WORK}/wrong/Setup.exe after)
if(rc EQUAL 0 OR NOT original STREQUAL after)
  message(FATAL_ERROR "a wrong password did not fail the step, or changed the file (exit ${rc})\n${out}")
endif()
message(STATUS "signing: 3 key forms signed and verified, a wrong password refused")
