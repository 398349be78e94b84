// Owner-only files on POSIX systems: the mode is given when the file is created, so there is no
// moment at which another user could open it.
#include "platform/operator/Privacy.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

std::FILE *OpenPrivateFile(const std::string &path, bool append) {
  // A link at the name is refused, not followed; a terminal named is written to, not taken as
  // the controlling one.
  const int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | (append ? O_APPEND : O_TRUNC);
  const int fd = ::open(path.c_str(), flags, 0600);
  if (fd < 0) return nullptr;
  std::FILE *f = ::fdopen(fd, append ? "ab" : "wb");
  if (!f) ::close(fd);
  return f;
}

std::string PrivateFileError(int err) {
  return err == ELOOP ? "a symbolic link, not followed" : std::strerror(err);
}
