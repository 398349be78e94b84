/* A point of sale in C99 that uses the cheque module the way any shop's program would: it links
 * the host library (here the reference one, libpdvhost), loads the module at run time, supplies
 * the amount of the sale, calls one export and prints what the field store holds afterwards.
 *
 *   pdv_exemplo [--fecha MS] [consulta | adm N | generico N | venda | pre] [AMOUNT]
 *                                                                 (default: consulta 15000)
 *
 * --fecha MS (Windows): the point of sale starts closing MS milliseconds into the call, as when
 * the shop shuts it down: its quit message arrives while a screen waits, and the call still
 * comes back.
 *
 * The module shows its own screens: on the process's terminal, on its own windows on Windows,
 * or played by the operator script that CHEQUE_ROTEIRO names. Its configuration (Cheque.ini,
 * Cliente.ini, ClienteTrn.ini) is read from CHEQUE_DIR or the program's directory. What the
 * module saves goes to transacao.txt and its errors to erro_pdv.txt, in the current directory.
 */
#ifndef _WIN32
#define _POSIX_C_SOURCE 200809L /* readlink, beside plain C99 */
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cheque/host.h"

#ifdef _WIN32
#include <windows.h>
#define MODULO "cheque.dll"
static void *Carrega(const char *nome) {
  return (void *)LoadLibraryA(nome);
}
static void *Funcao(void *m, const char *nome) {
  return (void *)GetProcAddress((HMODULE)m, nome);
}
static void CALLBACK Fecha(HWND janela, UINT mensagem, UINT_PTR id, DWORD agora) {
  (void)janela, (void)mensagem, (void)agora;
  KillTimer(NULL, id);
  PostQuitMessage(0);
}
static void FechaEm(int ms) {
  SetTimer(NULL, 0, (UINT)ms, Fecha);
}
static const char *Erro(void) {
  static char texto[32];
  snprintf(texto, sizeof texto, "error %lu", (unsigned long)GetLastError());
  return texto;
}
#else
#include <dlfcn.h>
#define MODULO "libcheque.so"
#include <unistd.h>
/* The module beside this program, named by its full path (whoever intercepts dlopen, such as a
   sanitizer's runtime, does not search this program's run path). */
static void *Carrega(const char *nome) {
  char caminho[4096];
  const ssize_t n = readlink("/proc/self/exe", caminho, sizeof caminho - 64);
  if (n <= 0) return dlopen(nome, RTLD_NOW | RTLD_LOCAL);
  caminho[n] = '\0';
  strcpy(strrchr(caminho, '/') + 1, nome);
  return dlopen(caminho, RTLD_NOW | RTLD_LOCAL);
}
static void *Funcao(void *m, const char *nome) {
  return dlsym(m, nome);
}
static void FechaEm(int ms) {
  (void)ms; /* a Linux point of sale that closes ends the call through its terminal */
}
static const char *Erro(void) {
  const char *e = dlerror();
  return e ? e : "no such export";
}
#endif

typedef void(CHEQUE_STDCALL *TSemArgumentos)(void);
typedef void(CHEQUE_STDCALL *TExecuta)(uint32_t janela, int32_t operacao);

/* The fields a point of sale reads after a consultation: amount, result code, the operator's
   message and the network's answer. */
static const int32_t kCampos[] = {1003, 1009, 1027, 20033};

int main(int argc, char **argv) {
  int fecha = 0;
  if (argc > 2 && strcmp(argv[1], "--fecha") == 0) {
    fecha = atoi(argv[2]);
    argv += 2, argc -= 2;
  }
  const char *operacao = argc > 1 ? argv[1] : "consulta";
  const char *exportacao = "ExecutaConsultaCheque";
  int32_t numero = 0;
  int proximo = 2;
  if (strcmp(operacao, "adm") == 0 || strcmp(operacao, "generico") == 0) {
    exportacao = operacao[0] == 'a' ? "ExecutaFuncaoADM" : "ExecutaGenerico";
    numero = argc > 2 ? (int32_t)atoi(argv[2]) : 0;
    proximo = 3;
  } else if (strcmp(operacao, "venda") == 0 || strcmp(operacao, "pre") == 0) {
    exportacao = operacao[0] == 'v' ? "ExecutaVenda" : "ExecutaPreAutorizacao";
  } else if (strcmp(operacao, "consulta") != 0) {
    fprintf(
        stderr,
        "usage: pdv_exemplo [--fecha MS] [consulta | adm N | generico N | venda | pre] [AMOUNT]\n");
    return 2;
  }
  const char *valor = argc > proximo ? argv[proximo] : "15000";

  void *modulo = Carrega(MODULO);
  TSemArgumentos inicializa = modulo ? (TSemArgumentos)Funcao(modulo, "Initialize") : NULL;
  TSemArgumentos finaliza = modulo ? (TSemArgumentos)Funcao(modulo, "Finalize") : NULL;
  TExecuta executa = modulo ? (TExecuta)Funcao(modulo, exportacao) : NULL;
  if (!inicializa || !finaliza || !executa) {
    fprintf(stderr, "cannot load %s with its exports (%s)\n", MODULO, Erro());
    return 4;
  }

  GravaCampoString(1003, 0, valor); /* the amount of the sale, in cents */
  inicializa();
  if (fecha > 0) FechaEm(fecha);
  executa(1, numero); /* this program has no window of its own: 1 stands for it */
  finaliza();

  printf("%s(%d) returned\n", exportacao, (int)numero);
  for (size_t i = 0; i < sizeof kCampos / sizeof kCampos[0]; ++i) {
    char texto[512];
    if (LeCampo(texto, sizeof texto, kCampos[i], 0) > 0)
      printf("%d = %s\n", (int)kCampos[i], texto);
  }
  return 0;
}
