// The POSIX variant of the save's system calls.
#include "ArquivoSistema.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pdv::sistema {

std::string Diretorio(const std::string &path) {
  const size_t barra = path.rfind('/');
  if (barra == std::string::npos) return ".";
  return barra == 0 ? "/" : path.substr(0, barra);
}

namespace {
// The kernel's protected-links rule, kept also where the kernel does not enforce it: in a
// directory anyone may write to (sticky, so each removes only their own files), a link that
// belongs neither to us nor to the directory's owner was planted by another user, most likely
// to make us create or replace a file of their choosing.
bool LinkAlheio(const std::string &link, const struct stat &st, std::string &motivo) {
  struct stat dir {};
  if (::stat(Diretorio(link).c_str(), &dir) != 0) return false;
  if (!(dir.st_mode & S_IWOTH) || !(dir.st_mode & S_ISVTX)) return false;
  if (st.st_uid == ::geteuid() || st.st_uid == dir.st_uid) return false;
  motivo = link + " is a symbolic link that another user (uid " + std::to_string(st.st_uid) +
           ") left in the shared directory " + Diretorio(link) + "; not followed";
  return true;
}
} // namespace

std::string Destino(const std::string &path, std::string &motivo) {
  std::string atual = path;
  for (int saltos = 0; saltos < 40; ++saltos) {
    struct stat st {};
    if (::lstat(atual.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return atual;
    if (LinkAlheio(atual, st, motivo)) {
      errno = EACCES;
      return std::string();
    }
    std::string alvo(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(atual.c_str(), alvo.data(), alvo.size());
    if (n <= 0 || static_cast<size_t>(n) >= alvo.size()) return atual;
    alvo.resize(static_cast<size_t>(n));
    atual = alvo[0] == '/' ? alvo : Diretorio(atual).append("/").append(alvo);
  }
  // Replacing the link by a file would break whatever the loop was meant to be.
  motivo = path + " is a loop of symbolic links (or a chain of more than 40)";
  errno = ELOOP;
  return std::string();
}

long long Trava(const std::string &destino) {
  const std::string nome = destino + ".lock";
  for (;;) {
    // Never through a link, and never waiting on a FIFO someone put there.
    const int base = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(nome.c_str(), O_RDWR | O_CREAT | base, 0600);
    if (fd < 0 && errno == EACCES) fd = ::open(nome.c_str(), O_RDONLY | base); // another's file
    if (fd < 0) return -1;
    int r;
    while ((r = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    struct stat aberto {
    }, nomeado{};
    if (r == 0 && ::fstat(fd, &aberto) == 0 && !S_ISREG(aberto.st_mode)) {
      ::close(fd);
      errno = EINVAL;
      return -1;
    }
    // The save before ours removes the file when it is done: a lock on a file no longer named
    // guards nothing, so take the one named now.
    if (r == 0 && ::lstat(nome.c_str(), &nomeado) == 0 && aberto.st_dev == nomeado.st_dev &&
        aberto.st_ino == nomeado.st_ino)
      return fd;
    const int erro = errno;
    ::close(fd);
    if (r != 0) {
      errno = erro;
      return -1;
    }
  }
}

void Destrava(const std::string &destino, long long trava) {
  // Removed while still held, so that a save waiting on it sees it gone and makes a new one.
  (void)::unlink((destino + ".lock").c_str());
  ::close(static_cast<int>(trava));
}

int CriaTemporario(const std::string &nome) {
  // Only the holder of the lock writes this file: one found here is a dead save's.
  if (::unlink(nome.c_str()) != 0 && errno != ENOENT) return -1;
  const int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) ::fchmod(fd, 0600); // whatever the umask took away
  return fd;
}

void CopiaModo(int fd, const std::string &substituido) {
  struct stat st {};
  if (::stat(substituido.c_str(), &st) != 0) return;
  // Only a privileged process can give a file away; elsewhere the new file stays ours, and
  // owner-only then, since the old mode may have been meant for the old owner's group.
  if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) return;
  }
  ::fchmod(fd, st.st_mode & 07777);
}

long Escreve(int fd, const char *dados, size_t n) {
  for (;;) {
    const ssize_t w = ::write(fd, dados, n);
    if (w >= 0 || errno != EINTR) return static_cast<long>(w);
  }
}

bool Sincroniza(int fd) {
  return ::fsync(fd) == 0;
}

bool Fecha(int fd) {
  return ::close(fd) == 0;
}

bool Renomeia(const std::string &de, const std::string &para) {
  return ::rename(de.c_str(), para.c_str()) == 0;
}

bool SincronizaDiretorio(const std::string &dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
  const int erro = errno;
  ::close(fd);
  errno = erro;
  return ok;
}

bool Remove(const std::string &path) {
  return ::unlink(path.c_str()) == 0;
}

int CriaNovo(const char *path) {
  return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

int AbreParaLer(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  const int f = ::fcntl(fd, F_GETFL);
  if (f < 0 || ::fcntl(fd, F_SETFL, f & ~O_NONBLOCK) < 0) {
    const int erro = errno;
    ::close(fd);
    errno = erro;
    return -1;
  }
  return fd;
}

long Le(int fd, char *dados, size_t n) {
  for (;;) {
    const ssize_t r = ::read(fd, dados, n);
    if (r >= 0 || errno != EINTR) return static_cast<long>(r);
  }
}

} // namespace pdv::sistema
