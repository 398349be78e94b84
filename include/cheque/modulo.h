/* The module's exported functions: what a host program calls after loading the module.
 *
 * Every function runs on the host's user-interface thread and returns only when the module's
 * screens have closed. The outcome of an operation is what the screens left in the host's
 * field store; the functions themselves return nothing.
 *
 * On 32-bit Windows the functions use the standard calling convention with undecorated names
 * (the module definition file maps them); elsewhere the platform's C convention.
 */
#ifndef CHEQUE_MODULO_H
#define CHEQUE_MODULO_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define CHEQUE_STDCALL __stdcall
#else
#define CHEQUE_STDCALL
#endif

#if defined(_WIN32)
#if defined(CHEQUE_BUILDING_MODULE)
/* The module definition file names the exports, undecorated. */
#define CHEQUE_EXPORT
#else
#define CHEQUE_EXPORT __declspec(dllimport)
#endif
#else
#define CHEQUE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The host's main window, as the host passes it. */
typedef uint32_t TJanelaHost;

/* Called once after loading / before unloading. */
CHEQUE_EXPORT void CHEQUE_STDCALL Initialize(void);
CHEQUE_EXPORT void CHEQUE_STDCALL Finalize(void);

/* Copies "1.0.0.0" into `versao` and the module's build version into `versaoModulo` (empty
 * until the first screen has been shown). The copies are unbounded: the caller's buffers
 * must be large enough. */
CHEQUE_EXPORT void CHEQUE_STDCALL ObtemVersao(char *versao, char *versaoModulo);

/* Sale and pre-authorisation: only show an operator message. */
CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaVenda(TJanelaHost janela, int32_t operacao);
CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaPreAutorizacao(TJanelaHost janela, int32_t operacao);
/* Administrative functions: 1 Venezuelan guarantee cancellation, 6 guarantee cancellation. */
CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaFuncaoADM(TJanelaHost janela, int32_t operacao);
/* Cheque consultation: the network and transaction menu (the operation is not read). */
CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaConsultaCheque(TJanelaHost janela, int32_t operacao);
/* Generic functions: 11 loads the Telecheque rate table. */
CHEQUE_EXPORT void CHEQUE_STDCALL ExecutaGenerico(TJanelaHost janela, int32_t operacao);

#ifdef __cplusplus
}
#endif

#endif /* CHEQUE_MODULO_H */
