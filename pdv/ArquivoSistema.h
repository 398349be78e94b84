// The operating-system side of saving a file so that a power cut at any instant leaves the old
// file or the new one: one small call per step, failures reported through errno. A port to
// another system replaces this file pair alone.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pdv::sistema {

// The file a save of `path` must replace: where its symbolic links lead (also when the last
// link names a file still to be made), or `path` itself. Replacing the link by a file would
// leave the file it points to stale.
std::string Destino(const std::string &path);
// The directory part of a path ("." when it has none).
std::string Diretorio(const std::string &path);

// Creates a new file from `modelo` (ending in XXXXXX, replaced by the name made), readable and
// writable by its owner only. The descriptor, or -1.
int CriaTemporario(std::string &modelo);
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
// The names of the regular files in `dir` (empty when it cannot be read).
std::vector<std::string> Arquivos(const std::string &dir);

} // namespace pdv::sistema
