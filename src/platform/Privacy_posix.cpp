// Owner-only files on POSIX systems: the mode is given when the file is created, so there is no
// moment at which another user could open it.
#include "platform/Privacy.h"

#include <fcntl.h>
#include <unistd.h>

std::FILE *OpenPrivateFile(const std::string &path, bool append) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  const int fd = ::open(path.c_str(), flags, 0600);
  if (fd < 0) return nullptr;
  std::FILE *f = ::fdopen(fd, append ? "ab" : "wb");
  if (!f) ::close(fd);
  return f;
}
