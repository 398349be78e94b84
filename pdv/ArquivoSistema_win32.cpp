// The Windows variant of the save's system calls: the C runtime's descriptors in binary mode (the
// file's bytes are the same as on any other system), flushed to the disk, and a replace that
// the system writes through before it returns.
#include "ArquivoSistema.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <windows.h>

namespace pdv::sistema {

namespace {

bool Separador(char c) {
  return c == '/' || c == '\\';
}

void ErrnoDoSistema() {
  switch (GetLastError()) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
    errno = ENOENT;
    break;
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
    errno = EACCES;
    break;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    errno = ENOSPC;
    break;
  default:
    errno = EIO;
    break;
  }
}

} // namespace

std::string Diretorio(const std::string &path) {
  size_t barra = std::string::npos;
  for (size_t i = path.size(); i-- > 0;)
    if (Separador(path[i])) {
      barra = i;
      break;
    }
  if (barra == std::string::npos) return ".";
  return barra == 0 ? path.substr(0, 1) : path.substr(0, barra);
}

// Links are rare on a point of sale's disk and the system follows them on its own when the file
// is opened; the replace works on the name the host was given.
std::string Destino(const std::string &path) {
  return path;
}

int CriaTemporario(std::string &modelo) {
  const std::string original = modelo;
  for (int tentativa = 0; tentativa < 100; ++tentativa) {
    modelo = original;
    if (_mktemp_s(modelo.data(), modelo.size() + 1) != 0) return -1;
    const int fd = _open(modelo.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT,
                         _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Access on Windows comes from the directory's inherited rights, which the new file already has.
void CopiaModo(int, const std::string &) {}

long Escreve(int fd, const char *dados, size_t n) {
  const unsigned parte = n > INT_MAX ? INT_MAX : static_cast<unsigned>(n);
  return _write(fd, dados, parte);
}

bool Sincroniza(int fd) {
  return _commit(fd) == 0;
}

bool Fecha(int fd) {
  return _close(fd) == 0;
}

bool Renomeia(const std::string &de, const std::string &para) {
  if (MoveFileExA(de.c_str(), para.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  ErrnoDoSistema();
  return false;
}

// The replace was written through: the directory has nothing left to flush.
bool SincronizaDiretorio(const std::string &) {
  return true;
}

bool Remove(const std::string &path) {
  return _unlink(path.c_str()) == 0;
}

std::vector<std::string> Arquivos(const std::string &dir) {
  std::vector<std::string> nomes;
  WIN32_FIND_DATAA d;
  const HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return nomes;
  do {
    const DWORD naoRegular =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if (!(d.dwFileAttributes & naoRegular)) nomes.push_back(d.cFileName);
  } while (FindNextFileA(h, &d));
  FindClose(h);
  return nomes;
}

} // namespace pdv::sistema
