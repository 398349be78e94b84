// The operating system's side of the file exchange: the two folders, names matched without
// regard to case, the files written and removed while other programs (the point of sale, a
// scanner) hold them, the wait for a change in a folder and the request to stop. One file per
// system (Pasta_posix.cpp, Pasta_win32.cpp); the service above is the same everywhere.
#pragma once

#include <csignal>
#include <cstddef>
#include <string>

namespace troca::pasta {

// The entry of `dir` named `nome` whatever its case ("dir/Name" as it is spelt there), or "".
std::string Procura(const std::string &dir, const char *nome);
// Makes the folder when missing; false (errno set) when it cannot be had.
bool CriaPasta(const std::string &caminho);
// Removes the file; true when it is gone. A file another program holds open (a scanner, the
// point of sale still reading) is tried again for `esperaMs` milliseconds; false, errno set,
// when it stays.
bool Remove(const std::string &caminho, int esperaMs = 0);
// The size of the regular file `caminho`, or -1 when there is none.
long long Tamanho(const std::string &caminho);
// At most `n` bytes from the start of the file ("" when it cannot be read).
std::string Inicio(const std::string &caminho, size_t n);
// Writes `bytes` under `tmp` and renames it over `destino`: a reader never sees a part of it.
// Not synced: what it says is not needed after a power cut. False, errno set, on failure.
bool PoeNoLugar(const std::string &tmp, const std::string &destino, const std::string &bytes);
// Makes the file empty and readable by its owner only when it is missing.
void CriaPrivado(const std::string &caminho);

// Watches a folder for new names. Espera returns after a change in it, after a while without
// one (a safety net: a notification may be lost), or when the service is asked to stop. Where
// the system gives no notification the folder is looked at every few milliseconds instead.
class TAviso {
public:
  explicit TAviso(const std::string &dir);
  ~TAviso();
  TAviso(const TAviso &) = delete;
  TAviso &operator=(const TAviso &) = delete;
  void Espera();
  // Whether the system notifies the changes (otherwise the folder is polled).
  bool Notifica() const { return fEstado != nullptr; }

private:
  struct TEstado; // the system's notification, null when there is none
  TEstado *fEstado = nullptr;
};

// Sets `*pedido` to 1 when the service is asked to stop (SIGTERM or SIGINT; Ctrl+C, Ctrl+Break
// or the console closed on Windows) and wakes a TAviso waiting.
void AoPedirParada(volatile std::sig_atomic_t *pedido);

// Makes the terminal on standard output take the escape sequences the idle line is drawn with.
void PreparaTerminal();

} // namespace troca::pasta
