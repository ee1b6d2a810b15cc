# Crypto++ and GoogleTest for both kinds of build. Crypto++ for MinGW is built here and only
# here, at the first configure of a Windows build (scripts/test.sh configures both sizes side by
# side, so both libraries build at the same time).
if(WIN32)
  set(CRYPTOPP_MINGW_PREFIX ${CMAKE_SOURCE_DIR}/build/cryptopp-${CMAKE_SYSTEM_PROCESSOR})
  if(NOT EXISTS ${CRYPTOPP_MINGW_PREFIX}/lib/libcryptopp.a)
    message(STATUS "Building Crypto++ for ${MINGW_TRIPLE} (first build only)")
    execute_process(
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-cryptopp-mingw.sh ${MINGW_TRIPLE} ${CRYPTOPP_MINGW_PREFIX}
      RESULT_VARIABLE cryptopp_rc)
    if(NOT cryptopp_rc EQUAL 0)
      message(FATAL_ERROR "Crypto++ for ${MINGW_TRIPLE} could not be built")
    endif()
  endif()
  add_library(cryptopp STATIC IMPORTED GLOBAL)
  set_target_properties(cryptopp PROPERTIES
    IMPORTED_LOCATION ${CRYPTOPP_MINGW_PREFIX}/lib/libcryptopp.a
    INTERFACE_INCLUDE_DIRECTORIES ${CRYPTOPP_MINGW_PREFIX}/include
    # The library was built without assembly; its users must see the same class layouts.
    INTERFACE_COMPILE_DEFINITIONS CRYPTOPP_DISABLE_ASM)
  if(SETUP_BUILD_TESTS)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(CRYPTOPP REQUIRED IMPORTED_TARGET libcrypto++)
  add_library(cryptopp INTERFACE IMPORTED GLOBAL)
  target_link_libraries(cryptopp INTERFACE PkgConfig::CRYPTOPP)
  if(SETUP_BUILD_TESTS)
    find_package(GTest REQUIRED)
  endif()
endif()
