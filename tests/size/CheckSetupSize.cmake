# cmake -DEXE=Setup.exe -DLIMIT_KB=400 -P CheckSetupSize.cmake
# Every user downloads Setup.exe before anything else: the shipped build must not grow past the
# limit unnoticed (scripts/bench-size.sh says where its bytes come from).
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "${EXE} is missing: build the Setup target first")
endif()
file(SIZE "${EXE}" size)
math(EXPR limit "${LIMIT_KB} * 1024")
if(size GREATER limit)
  message(FATAL_ERROR "${EXE} has ${size} bytes, more than ${LIMIT_KB} KB (${limit} bytes)")
endif()
message(STATUS "${EXE}: ${size} bytes, at most ${limit}")
