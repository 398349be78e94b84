// The Windows side of the file exchange's folders: names in the system's wide form, the
// directory change notification for the wait, and the console's control events for the stop.
// Files held by another program (a scanner that opened a new request, the point of sale still
// reading the status) are tried again for a while instead of failing the transaction.
#include "Pasta.h"

#include "platform/system/Sistema.h"

#include <cerrno>
#include <cwchar>
#include <vector>

#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace troca::pasta {

namespace {

// A safety net under the notification, and the pace of the polling without it.
constexpr DWORD kVarreduraMs = 2000, kVarreduraSemAvisoMs = 20;
// How long a rename over a file someone holds open is tried again.
constexpr int kEsperaTrocaMs = 2000;

bool Ocupado(DWORD erro) {
  return erro == ERROR_SHARING_VIOLATION || erro == ERROR_LOCK_VIOLATION ||
         erro == ERROR_ACCESS_DENIED;
}

void Errno(DWORD erro) {
  errno = erro == ERROR_FILE_NOT_FOUND || erro == ERROR_PATH_NOT_FOUND ? ENOENT
          : Ocupado(erro)                                              ? EACCES
          : erro == ERROR_DISK_FULL || erro == ERROR_HANDLE_DISK_FULL  ? ENOSPC
                                                                       : EIO;
}

HANDLE gParada = nullptr; // set when the service is asked to stop
volatile std::sig_atomic_t *gPedido = nullptr;

BOOL WINAPI AoControle(DWORD evento) {
  if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT && evento != CTRL_CLOSE_EVENT)
    return FALSE;
  if (gPedido) *gPedido = 1;
  if (gParada) SetEvent(gParada);
  return TRUE;
}

} // namespace

std::string Procura(const std::string &dir, const char *nome) {
  WIN32_FIND_DATAW d;
  const HANDLE h = FindFirstFileW(CaminhoLargo(dir + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return {};
  const std::wstring procurado = CaminhoLargo(nome);
  std::string achado;
  do
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        CompareStringOrdinal(d.cFileName, -1, procurado.c_str(), -1, TRUE) == CSTR_EQUAL) {
      achado = dir + "/" + CaminhoEstreito(d.cFileName);
      break;
    }
  while (FindNextFileW(h, &d));
  FindClose(h);
  return achado;
}

bool CriaPasta(const std::string &caminho) {
  const std::wstring w = CaminhoLargo(caminho);
  const DWORD a = GetFileAttributesW(w.c_str());
  if (a != INVALID_FILE_ATTRIBUTES) {
    if (a & FILE_ATTRIBUTE_DIRECTORY) return true;
    errno = ENOTDIR;
    return false;
  }
  if (CreateDirectoryW(w.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  Errno(GetLastError());
  return false;
}

bool Remove(const std::string &caminho, int esperaMs) {
  const std::wstring w = CaminhoLargo(caminho);
  for (int esperado = 0;; esperado += 50) {
    if (DeleteFileW(w.c_str())) return true;
    const DWORD erro = GetLastError();
    if (erro == ERROR_FILE_NOT_FOUND || erro == ERROR_PATH_NOT_FOUND) return true;
    if (!Ocupado(erro) || esperado >= esperaMs) {
      Errno(erro);
      return false;
    }
    Sleep(50);
  }
}

long long Tamanho(const std::string &caminho) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExW(CaminhoLargo(caminho).c_str(), GetFileExInfoStandard, &a) ||
      (a.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
    return -1;
  return static_cast<long long>((static_cast<unsigned long long>(a.nFileSizeHigh) << 32) |
                                a.nFileSizeLow);
}

std::string Inicio(const std::string &caminho, size_t n) {
  const HANDLE h = CreateFileW(CaminhoLargo(caminho).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes(n, '\0');
  DWORD lidos = 0;
  if (!ReadFile(h, bytes.data(), DWORD(n), &lidos, nullptr)) lidos = 0;
  CloseHandle(h);
  bytes.resize(lidos);
  return bytes;
}

bool PoeNoLugar(const std::string &tmp, const std::string &destino, const std::string &bytes) {
  const std::wstring de = CaminhoLargo(tmp), para = CaminhoLargo(destino);
  const HANDLE h = CreateFileW(de.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    Errno(GetLastError());
    return false;
  }
  DWORD escritos = 0;
  const bool ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &escritos, nullptr) &&
                  escritos == bytes.size();
  const DWORD erroEscrita = GetLastError();
  CloseHandle(h);
  DWORD erro = ok ? ERROR_SUCCESS : erroEscrita;
  for (int esperado = 0; ok; esperado += 20) {
    if (MoveFileExW(de.c_str(), para.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    erro = GetLastError();
    if (!Ocupado(erro) || esperado >= kEsperaTrocaMs) break;
    Sleep(20);
  }
  DeleteFileW(de.c_str());
  Errno(erro);
  return false;
}

// Access comes from the folder's inherited rights, which the new file takes.
void CriaPrivado(const std::string &caminho) {
  const HANDLE h = CreateFileW(CaminhoLargo(caminho).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// The folder open for its notifications, one read of them always outstanding.
struct TAviso::TEstado {
  HANDLE pasta = INVALID_HANDLE_VALUE;
  OVERLAPPED ov{};
  alignas(DWORD) char buf[8192];

  bool Pede() {
    return ReadDirectoryChangesW(pasta, buf, sizeof buf, FALSE,
                                 FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE,
                                 nullptr, &ov, nullptr) != 0;
  }
  ~TEstado() {
    if (pasta != INVALID_HANDLE_VALUE) {
      CancelIo(pasta);
      DWORD n = 0;
      GetOverlappedResult(pasta, &ov, &n, TRUE);
      CloseHandle(pasta);
    }
    if (ov.hEvent) CloseHandle(ov.hEvent);
  }
};

TAviso::TAviso(const std::string &dir) {
  auto *e = new TEstado;
  e->pasta = CreateFileW(CaminhoLargo(dir).c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  e->ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (e->pasta != INVALID_HANDLE_VALUE && e->ov.hEvent && e->Pede()) {
    fEstado = e;
  } else {
    if (e->pasta != INVALID_HANDLE_VALUE) CloseHandle(e->pasta);
    e->pasta = INVALID_HANDLE_VALUE;
    delete e;
  }
}

TAviso::~TAviso() {
  delete fEstado;
}

void TAviso::Espera() {
  HANDLE eventos[2] = {fEstado ? fEstado->ov.hEvent : nullptr, gParada};
  const DWORD n = fEstado ? 1 : 0;
  HANDLE *lista = fEstado ? eventos : eventos + 1;
  const DWORD quantos = n + (gParada ? 1 : 0);
  const DWORD prazo = fEstado ? kVarreduraMs : kVarreduraSemAvisoMs;
  const DWORD r =
      quantos ? WaitForMultipleObjects(quantos, lista, FALSE, prazo) : (Sleep(prazo), 0);
  if (!fEstado || r != WAIT_OBJECT_0) return;
  // What changed does not matter (the service looks at the folder itself); the next change is
  // asked for before the folder is looked at, so that none is missed.
  DWORD lidos = 0;
  GetOverlappedResult(fEstado->pasta, &fEstado->ov, &lidos, FALSE);
  ResetEvent(fEstado->ov.hEvent);
  if (!fEstado->Pede()) {
    delete fEstado; // polled from now on
    fEstado = nullptr;
  }
}

void AoPedirParada(volatile std::sig_atomic_t *pedido) {
  gPedido = pedido;
  if (!gParada) gParada = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(AoControle, TRUE);
}

void PreparaTerminal() {
  const HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD modo = 0;
  if (GetConsoleMode(h, &modo)) SetConsoleMode(h, modo | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

} // namespace troca::pasta
