// The few services of the operating system that the form layer and the programs built on it need,
// behind one interface: each system has its own file (Sistema_posix.cpp, Sistema_win32.cpp).
#pragma once

#include <string>

// The full path of the running program, with '/' between directories on every system; "" when the
// system does not tell.
std::string CaminhoExecutavel();

// Sets an environment variable of this process (seen by every library loaded in it).
void DefineVariavelAmbiente(const std::string &nome, const std::string &valor);
