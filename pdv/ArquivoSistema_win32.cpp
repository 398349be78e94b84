// The Windows variant of the save's system calls: the C runtime's descriptors in binary mode (the
// file's bytes are the same as on any other system), flushed to the disk (FlushFileBuffers), and
// a replace that the system writes through before it returns.
#include "ArquivoSistema.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <sys/stat.h>

#include <windows.h>

#include "platform/system/Sistema.h"

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
std::string Destino(const std::string &path, std::string &) {
  return path;
}

long long Trava(const std::string &destino) {
  const std::string nome = destino + ".lock";
  // Opened unshared, the file is the lock; the system removes it when its holder closes it or
  // dies. Another save waits for it, a minute at most.
  for (int espera = 0; espera < 6000; ++espera) {
    const HANDLE h =
        CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) return static_cast<long long>(reinterpret_cast<intptr_t>(h));
    const DWORD erro = GetLastError();
    // Held by another save, or being removed by the one that just finished.
    if (erro != ERROR_SHARING_VIOLATION && erro != ERROR_ACCESS_DENIED) break;
    Sleep(10);
  }
  ErrnoDoSistema();
  return -1;
}

void Destrava(const std::string &, long long trava) {
  CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(trava)));
}

int CriaTemporario(const std::string &nome) {
  // Only the holder of the lock writes this file: one found here is a dead save's.
  if (_unlink(nome.c_str()) != 0 && errno != ENOENT) return -1;
  return _open(nome.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
}

// Access on Windows comes from the directory's inherited rights, which the new file already has.
void CopiaModo(int, const std::string &) {}

long Escreve(int fd, const char *dados, size_t n) {
  const unsigned parte = n > INT_MAX ? INT_MAX : static_cast<unsigned>(n);
  return _write(fd, dados, parte);
}

bool Sincroniza(int fd) {
  const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (h != INVALID_HANDLE_VALUE && FlushFileBuffers(h)) return true;
  ErrnoDoSistema();
  return false;
}

bool Fecha(int fd) {
  return _close(fd) == 0;
}

// A file someone holds open without sharing its deletion (a scanner looking at the new file, a
// reader of the old one) refuses the replace for a moment: tried again for two seconds.
bool Renomeia(const std::string &de, const std::string &para) {
  const std::wstring origem = CaminhoLargo(de), destino = CaminhoLargo(para);
  for (int espera = 0;; espera += 20) {
    if (MoveFileExW(origem.c_str(), destino.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD erro = GetLastError();
    if ((erro != ERROR_SHARING_VIOLATION && erro != ERROR_ACCESS_DENIED) || espera >= 2000) break;
    Sleep(20);
  }
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

int CriaNovo(const char *path) {
  return _open(path, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
}

// The system has no FIFO a file name could wait on.
int AbreParaLer(const std::string &path) {
  return _open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

long Le(int fd, char *dados, size_t n) {
  return _read(fd, dados, n > INT_MAX ? INT_MAX : static_cast<unsigned>(n));
}

} // namespace pdv::sistema
