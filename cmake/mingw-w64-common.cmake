# Shared part of the Windows cross toolchains: CHEQUE_MINGW_TRIPLET names the compiler family.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CHEQUE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CHEQUE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CHEQUE_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CHEQUE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The JSON library is headers only: the build machine's copy serves every target (mingw-json/).
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-json CACHE PATH "")
set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE STRING "")
# The printf-style helpers format with the C99 formatter (__USE_MINGW_ANSI_STDIO), whose %zu and
# %lld the compiler's format checker on this target does not know; the Linux build checks them.
# localtime_r and its kind come with _POSIX_THREAD_SAFE_FUNCTIONS.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -D_WIN32_WINNT=0x0601 -D_POSIX_THREAD_SAFE_FUNCTIONS -Wno-format")
set(CMAKE_CXX_FLAGS_INIT
    "-D__USE_MINGW_ANSI_STDIO=1 -D_WIN32_WINNT=0x0601 -D_POSIX_THREAD_SAFE_FUNCTIONS -Wno-format -include ${CMAKE_CURRENT_LIST_DIR}/../src/platform/win32/CompatPosix.h")
