/* How a host program hands its operator script to the module's screens on Windows, where the
 * module carries its own copy of the form layer (one DLL to deploy) and the host's copy cannot
 * see the module's forms.
 *
 * A host that plays the operator with a script exports CHEQUE_SESSAO_ROTEIRO from its
 * executable. At its first screen the module calls it: with a script named there, the module
 * runs the script against its own forms, sends every transcript event back, and tells the host
 * how far the script went; without one (or without the export, as at a real point of sale) the
 * screens are windows for a person at the keyboard.
 *
 * Plain C, the platform's default calling convention, texts in UTF-8.
 */
#ifndef CHEQUE_SESSAO_ROTEIRO_H
#define CHEQUE_SESSAO_ROTEIRO_H

#include <stdint.h>

#define CHEQUE_SESSAO_ROTEIRO "ChequeSessaoRoteiro"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TSessaoRoteiro {
  uint32_t tamanho; /* sizeof(TSessaoRoteiro) as the host built it */

  /* Filled by the host. */
  const char *roteiro; /* path of the operator script; NULL: a person at the windows */
  void *host;          /* passed back to the host's functions */
  /* One transcript event: one JSON object, as a transcript line. */
  void (*Evento)(void *host, const char *linhaJson);
  /* The script failed or ran out (the message names the line): the host ends the run. When it
   * returns, the module's screens stop with an error. */
  void (*Falha)(void *host, const char *mensagem);

  /* Filled by the module when it takes the script. */
  void *modulo;
  int64_t (*Agora)(void *modulo);     /* the script's clock, ms */
  int32_t (*Concluido)(void *modulo); /* nonzero: every line of the script was used */
  int32_t (*Linha)(void *modulo);     /* line of the last action taken */
} TSessaoRoteiro;

typedef TSessaoRoteiro *(*TObtemSessaoRoteiro)(void);

#ifdef __cplusplus
}
#endif

#endif /* CHEQUE_SESSAO_ROTEIRO_H */
