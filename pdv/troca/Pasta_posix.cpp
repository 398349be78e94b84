// The POSIX side of the file exchange's folders: inotify for the wait, signals for the stop.
#include "Pasta.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <strings.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace troca::pasta {

namespace {
// A safety net under the notification (an overflowed queue loses events), and the pace of the
// polling when there is no notification.
constexpr int kVarreduraMs = 2000, kVarreduraSemAvisoMs = 20;
} // namespace

std::string Procura(const std::string &dir, const char *nome) {
  DIR *d = opendir(dir.c_str());
  if (!d) return {};
  std::string achado;
  while (const dirent *e = readdir(d))
    if (strcasecmp(e->d_name, nome) == 0) {
      achado = dir + "/" + e->d_name;
      break;
    }
  closedir(d);
  return achado;
}

bool CriaPasta(const std::string &caminho) {
  struct stat st {};
  if (stat(caminho.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
  }
  return mkdir(caminho.c_str(), 0777) == 0 || errno == EEXIST;
}

// Nothing holds a name against its removal here.
bool Remove(const std::string &caminho, int) {
  return unlink(caminho.c_str()) == 0 || errno == ENOENT;
}

long long Tamanho(const std::string &caminho) {
  struct stat st {};
  if (lstat(caminho.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

std::string Inicio(const std::string &caminho, size_t n) {
  std::string bytes(n, '\0');
  const int fd = open(caminho.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  const ssize_t lidos = fd >= 0 ? read(fd, bytes.data(), bytes.size()) : -1;
  if (fd >= 0) (void)close(fd);
  bytes.resize(lidos > 0 ? size_t(lidos) : 0);
  return bytes;
}

bool PoeNoLugar(const std::string &tmp, const std::string &destino, const std::string &bytes) {
  const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
  const bool fechou = close(fd) == 0;
  if (ok && fechou && rename(tmp.c_str(), destino.c_str()) == 0) return true;
  const int erro = errno;
  (void)unlink(tmp.c_str());
  errno = erro;
  return false;
}

void CriaPrivado(const std::string &caminho) {
  const int fd = open(caminho.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) (void)close(fd);
}

struct TAviso::TEstado {
  int fd;
};

TAviso::TAviso(const std::string &dir) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd >= 0 && inotify_add_watch(fd, dir.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) >= 0)
    fEstado = new TEstado{fd};
  else if (fd >= 0)
    (void)close(fd);
}

TAviso::~TAviso() {
  if (fEstado) (void)close(fEstado->fd);
  delete fEstado;
}

// A signal interrupts the poll (its handler is installed without SA_RESTART).
void TAviso::Espera() {
  if (!fEstado) {
    (void)poll(nullptr, 0, kVarreduraSemAvisoMs);
    return;
  }
  pollfd p{fEstado->fd, POLLIN, 0};
  if (poll(&p, 1, kVarreduraMs) > 0) {
    alignas(inotify_event) char buf[4096];
    while (read(fEstado->fd, buf, sizeof buf) > 0) {
    }
  }
}

namespace {
volatile std::sig_atomic_t *gPedido = nullptr;
void AoSinal(int) {
  if (gPedido) *gPedido = 1;
}
} // namespace

void AoPedirParada(volatile std::sig_atomic_t *pedido) {
  gPedido = pedido;
  struct sigaction sa {};
  sa.sa_handler = AoSinal; // no SA_RESTART: the wait returns at once
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

void PreparaTerminal() {}

} // namespace troca::pasta
