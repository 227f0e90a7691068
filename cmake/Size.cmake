# The win32 tree is built for size: the stub travels inside every installer,
# so its bytes are downloaded with every product. Sections per function and
# per object let a program's link drop what nothing calls. On i686 unwind
# tables are made only for code an exception can pass through; x86_64 keeps
# them for every function, as its calling convention wants (an exception or a
# longjmp unwinds through any frame with them).
if(ZSETUP_WIN32)
  add_compile_options(-Os -ffunction-sections -fdata-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_compile_options(-fno-asynchronous-unwind-tables)
  endif()

  # What the stub and the uninstaller share: unreferenced sections dropped,
  # the C++ runtime of GCC's win32 thread model (neither starts a thread of
  # its own, and that model needs no winpthread; the tree's posix model is for
  # the tests, GoogleTest and std::thread), and a terminate handler that does
  # not link the C++ demangler.
  find_program(ZSETUP_MINGW_WIN32_GCC ${ZSETUP_MINGW_TRIPLE}-gcc-win32 REQUIRED)
  execute_process(COMMAND ${ZSETUP_MINGW_WIN32_GCC} -print-libgcc-file-name
                  OUTPUT_VARIABLE zsetup_win32_model_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  get_filename_component(ZSETUP_WIN32_MODEL_LIBS "${zsetup_win32_model_libgcc}" DIRECTORY)

  function(zsetup_small_program target)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/base/win32/quiet_terminate.cpp)
    # Searched first, that model's folder gives the link its libstdc++ and libgcc.
    target_link_options(${target} PRIVATE -Wl,--gc-sections -L${ZSETUP_WIN32_MODEL_LIBS})
  endfunction()
endif()
