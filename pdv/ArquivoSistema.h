// The operating-system side of saving a file so that a power cut at any instant leaves the old
// file or the new one: one small call per step, failures reported through errno. A port to
// another system replaces this file pair alone.
#pragma once

#include <cstddef>
#include <string>

namespace pdv::sistema {

// The file a save of `path` must replace: where its symbolic links lead (also when the last
// link names a file still to be made), or `path` itself. Replacing the link by a file would
// leave the file it points to stale. "" with `motivo` (and errno) set when a link on the way
// must not be followed: a loop, or a link that another user left in a shared directory.
std::string Destino(const std::string &path, std::string &motivo);
// The directory part of a path ("." when it has none).
std::string Diretorio(const std::string &path);

// Waits until no other save of `destino` runs and keeps the others waiting until Destrava:
// a lock on `destino`.lock, made when missing. Its holder is the only process writing the
// temporary file, so whatever temporary file it finds was left by a save that died. -1 (errno
// set) when the lock cannot be had.
long long Trava(const std::string &destino);
// Gives the lock back (and removes its file when nobody else waits on it).
void Destrava(const std::string &destino, long long trava);
// Creates `nome` anew (a file of that name left by a save that died is removed first), readable
// and writable by its owner only, never through a link. The descriptor, or -1.
int CriaTemporario(const std::string &nome);
// Gives the file open on `fd` the mode and, where allowed, the owner of `substituido` when it
// exists; a new file keeps the owner-only mode it was made with.
void CopiaModo(int fd, const std::string &substituido);
// Writes at most `n` bytes (retried when a signal interrupts); -1 on failure.
long Escreve(int fd, const char *dados, size_t n);
bool Sincroniza(int fd);
bool Fecha(int fd);
// Replaces `para` by `de` in one step.
bool Renomeia(const std::string &de, const std::string &para);
// Makes the directory's entries (the rename) durable. A file system that cannot sync a
// directory has nothing to make durable.
bool SincronizaDiretorio(const std::string &dir);
bool Remove(const std::string &path);

// Creates `path`, which must not exist (nor be a link), owner-only, to write it. The descriptor,
// or -1. Safe in a signal handler.
int CriaNovo(const char *path);
// Opens a file to read it, never waiting (a FIFO with no writer would hold the open for ever);
// its reads then wait as usual. The descriptor, or -1.
int AbreParaLer(const std::string &path);
// Reads at most `n` bytes (retried when a signal interrupts); 0 at the end, -1 on failure.
long Le(int fd, char *dados, size_t n);

} // namespace pdv::sistema
