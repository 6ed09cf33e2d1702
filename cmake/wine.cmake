# Cross-built Windows programs (the unit tests) run under Wine, in a prefix of the build
# folder's own, through a wrapper that CMake and ctest use as the emulator. The 64-bit build
# calls the 64-bit loader and the 32-bit one its own (only wine32 installs it): Debian's wine
# starts every program through the 32-bit loader.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(KIVO_WINE64 wine64 PATHS /usr/lib/wine)
  set(KIVO_WINE ${KIVO_WINE64})
else()
  find_program(KIVO_WINE32 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
  set(KIVO_WINE ${KIVO_WINE32})
endif()
if(KIVO_WINE AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(KIVO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
