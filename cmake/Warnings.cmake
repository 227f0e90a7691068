add_compile_options(-Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
option(ZSETUP_WERROR "Treat warnings as errors (./dev builds so)" OFF)
if(ZSETUP_WERROR)
  add_compile_options(-Werror)
endif()

if(ZSETUP_WIN32)
  # One self-contained .exe: no libgcc, libstdc++ or winpthread DLL beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Large-address-aware: a 32-bit program gets 4 GiB of address space under
  # 64-bit Windows, not 2.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_link_options(-Wl,--large-address-aware)
  endif()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
else()
  option(ZSETUP_SANITIZE "Build the native tree with address and undefined-behaviour sanitizers" ON)
  if(ZSETUP_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()
