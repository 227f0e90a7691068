# zsetup_add_gtest(name SOURCES ... LIBS ... [NATIVE_ONLY] [WINE_ONLY] [ALSO_ENGLISH])
#
# The same test sources build in both trees: natively they run directly (with
# sanitizers), in the win32 tree ctest runs them under Wine inside the private
# environment (prefix, HOME, Xvfb display) that the wine_env fixture starts and
# stops. ALSO_ENGLISH runs the program a second time under an English locale
# (ANSI code page 1252), for code whose GBK text must not depend on it.
include(GoogleTest)

set(ZSETUP_WINE_DIR ${CMAKE_BINARY_DIR}/wine CACHE INTERNAL "")
set(ZSETUP_WINE_ENV ${CMAKE_SOURCE_DIR}/scripts/wine/wine-env)
set(ZSETUP_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine/wine-run)

if(ZSETUP_WIN32)
  # The tree's programs run in a Wine prefix of their own width: a 32-bit one
  # under Wine's 32-bit loader, a 64-bit one under wine64. Scripts that build
  # a setup.exe take the builder's --arch from ZSETUP_ARCH.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZSETUP_WINE_ARCH win64)
    set(ZSETUP_ARCH x64)
  else()
    set(ZSETUP_WINE_ARCH win32)
    set(ZSETUP_ARCH x86)
  endif()
  add_test(NAME wine_env_start
           COMMAND ${ZSETUP_WINE_ENV} start ${ZSETUP_WINE_DIR} ${ZSETUP_WINE_ARCH} $<TARGET_FILE:desktop_keeper>)
  set_tests_properties(wine_env_start PROPERTIES FIXTURES_SETUP wine_env TIMEOUT 300)
  add_test(NAME wine_env_stop COMMAND ${ZSETUP_WINE_ENV} stop ${ZSETUP_WINE_DIR})
  set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine_env TIMEOUT 120)
endif()

function(zsetup_add_gtest name)
  cmake_parse_arguments(T "NATIVE_ONLY;WINE_ONLY;ALSO_ENGLISH" "" "SOURCES;LIBS" ${ARGN})
  if(T_NATIVE_ONLY AND ZSETUP_WIN32)
    return()
  endif()
  if(T_WINE_ONLY AND NOT ZSETUP_WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(ZSETUP_WIN32)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/code_page_environment.cpp)
    add_test(NAME wine.${name}
             COMMAND ${ZSETUP_WINE_RUN} ${ZSETUP_WINE_DIR} $<TARGET_FILE:${name}> --gtest_color=no)
    set_tests_properties(wine.${name} PROPERTIES FIXTURES_REQUIRED wine_env TIMEOUT 600)
    if(T_ALSO_ENGLISH)
      add_test(NAME wine.en.${name}
               COMMAND ${ZSETUP_WINE_RUN} ${ZSETUP_WINE_DIR} $<TARGET_FILE:${name}> --gtest_color=no)
      set_tests_properties(wine.en.${name} PROPERTIES FIXTURES_REQUIRED wine_env TIMEOUT 600
                           ENVIRONMENT "ZSETUP_WINE_LOCALE=en_US.UTF-8")
    endif()
  else()
    gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "ZSETUP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  endif()
endfunction()
