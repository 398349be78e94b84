// Force-included in the Windows builds: the POSIX spellings of calls that the C runtime of
// Windows has under another name or with fewer arguments. Anything with a different behaviour
// has a file of its own (X_win32.cpp) instead.
#pragma once

#include <fcntl.h>
#include <io.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT // not handed to child processes
#endif

#ifdef __cplusplus
#include <direct.h>
// Directories have no permission bits there.
inline int mkdir(const char *path, unsigned /*mode*/) {
  return _mkdir(path);
}
#endif
