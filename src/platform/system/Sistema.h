// The few services of the operating system that the form layer and the programs built on it need,
// behind one interface: each system has its own file (Sistema_posix.cpp, Sistema_win32.cpp).
#pragma once

#include <string>

// The full path of the running program, with '/' between directories on every system; "" when the
// system does not tell.
std::string CaminhoExecutavel();

// Sets an environment variable of this process (seen by every library loaded in it).
void DefineVariavelAmbiente(const std::string &nome, const std::string &valor);

// A path of this program as UTF-8, for a library that takes its names so (SQLite): unchanged
// where names are bytes, converted from the system's code page (the one the program's
// arguments came in) on Windows.
std::string CaminhoUtf8(const std::string &caminho);

#ifdef _WIN32
// A path of this program in the system's wide form, and a wide one back in the code page.
std::wstring CaminhoLargo(const std::string &caminho);
std::string CaminhoEstreito(const wchar_t *caminho);
#endif
