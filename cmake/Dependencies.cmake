# Every dependency comes from Debian's archive; ./dev setup installs them.
if(ZSETUP_WIN32)
  # Static zlib from libz-mingw-w64-dev.
  find_library(ZLIB_STATIC NAMES libz.a REQUIRED)
  add_library(zlib_dep INTERFACE)
  target_link_libraries(zlib_dep INTERFACE ${ZLIB_STATIC})
else()
  find_package(ZLIB REQUIRED)
  add_library(zlib_dep INTERFACE)
  target_link_libraries(zlib_dep INTERFACE ZLIB::ZLIB)
endif()

# GoogleTest from Debian's sources, built for this tree.
set(ZSETUP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
if(ZSETUP_WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(${ZSETUP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# libjpeg: Debian's for the host, libjpeg-turbo cross-built by ./dev setup for mingw.
if(ZSETUP_WIN32)
  # ./dev setup prints the prefixes it made; ./dev passes the tree's own.
  set(ZSETUP_JPEG_PREFIX "" CACHE PATH "mingw libjpeg-turbo install for this tree's target")
  # Taken from the prefix on every configure, never cached: a new prefix
  # (other build options) must not link the old library.
  set(jpeg_static ${ZSETUP_JPEG_PREFIX}/lib/libjpeg.a)
  if(NOT EXISTS ${jpeg_static})
    message(FATAL_ERROR "no ${jpeg_static}: run ./dev setup")
  endif()
  add_library(jpeg_dep INTERFACE)
  target_include_directories(jpeg_dep INTERFACE ${ZSETUP_JPEG_PREFIX}/include)
  target_link_libraries(jpeg_dep INTERFACE ${jpeg_static})
else()
  find_package(JPEG REQUIRED)
  add_library(jpeg_dep INTERFACE)
  target_link_libraries(jpeg_dep INTERFACE JPEG::JPEG)
endif()

# toml++ and CLI11 are header-only (libtomlplusplus-dev, libcli11-dev). Their
# headers are copied into the tree so the mingw build can use them without
# putting the host's /usr/include on its path.
set(ZSETUP_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
foreach(dir toml++ CLI)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run ./dev setup")
  endif()
  file(COPY /usr/include/${dir} DESTINATION ${ZSETUP_THIRD_PARTY_INCLUDE})
endforeach()
add_library(toml_dep INTERFACE)
target_include_directories(toml_dep SYSTEM INTERFACE ${ZSETUP_THIRD_PARTY_INCLUDE})
add_library(cli11_dep INTERFACE)
target_include_directories(cli11_dep SYSTEM INTERFACE ${ZSETUP_THIRD_PARTY_INCLUDE})
