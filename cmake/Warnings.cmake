add_compile_options(-Wall -Wextra -Wpedantic -Wno-missing-field-initializers)

if(ZSETUP_WIN32)
  # One self-contained .exe: no libgcc, libstdc++ or winpthread DLL beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
else()
  option(ZSETUP_SANITIZE "Build the native tree with address and undefined-behaviour sanitizers" ON)
  if(ZSETUP_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()
