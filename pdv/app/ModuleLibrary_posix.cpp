// The module library on POSIX systems: dlopen and dlsym.
#include "ModuleLibrary.h"

#include <dlfcn.h>

const char *TModuleLibrary::DefaultFileName() {
  return "libcheque.so";
}

void *TModuleLibrary::OpenFile(const std::string &path, std::string &why) {
  // A name without '/' would make the loader search the library path instead of the file.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void *h = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char *reason = dlerror();
    why = reason ? reason : "unknown reason";
  }
  return h;
}

void *TModuleLibrary::FindSymbol(void *handle, const char *name) {
  dlerror();
  return dlsym(handle, name);
}

void TModuleLibrary::CloseFile(void *handle) {
  dlclose(handle);
}
