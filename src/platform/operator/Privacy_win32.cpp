// On Windows a new file takes the access list of its directory (the user's own profile for the
// host's files); there is no mode to give.
#include "platform/operator/Privacy.h"

#include <cstring>

std::FILE *OpenPrivateFile(const std::string &path, bool append) {
  return std::fopen(path.c_str(), append ? "ab" : "wb");
}

std::string PrivateFileError(int err) {
  return std::strerror(err);
}
