// The POSIX variant of the save's system calls.
#include "ArquivoSistema.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pdv::sistema {

std::string Diretorio(const std::string &path) {
  const size_t barra = path.rfind('/');
  if (barra == std::string::npos) return ".";
  return barra == 0 ? "/" : path.substr(0, barra);
}

std::string Destino(const std::string &path) {
  std::string atual = path;
  // A loop of links ends here rather than in a hang; the save then fails on the link itself.
  for (int saltos = 0; saltos < 40; ++saltos) {
    struct stat st {};
    if (::lstat(atual.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return atual;
    std::string alvo(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(atual.c_str(), alvo.data(), alvo.size());
    if (n <= 0 || static_cast<size_t>(n) >= alvo.size()) return atual;
    alvo.resize(static_cast<size_t>(n));
    atual = alvo[0] == '/' ? alvo : Diretorio(atual).append("/").append(alvo);
  }
  return atual;
}

int CriaTemporario(std::string &modelo) {
  // mkstemp makes the file with mode 0600 whatever the umask.
  const int fd = ::mkstemp(modelo.data());
  if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
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

std::vector<std::string> Arquivos(const std::string &dir) {
  std::vector<std::string> nomes;
  DIR *d = ::opendir(dir.c_str());
  if (!d) return nomes;
  while (const dirent *e = ::readdir(d)) {
    const std::string nome = e->d_name;
    struct stat st {};
    const std::string caminho = std::string(dir).append("/").append(nome);
    if (::lstat(caminho.c_str(), &st) == 0 && S_ISREG(st.st_mode)) nomes.push_back(nome);
  }
  ::closedir(d);
  return nomes;
}

} // namespace pdv::sistema
