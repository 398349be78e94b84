/* The host contract: the C functions that the point-of-sale host supplies to the cheque module.
 *
 * The module calls these functions by name; the host (a point of sale's own libraries, or the
 * reference host libpdvhost) defines them. Every text is 8-bit Windows-1252 and
 * zero-terminated unless a length is given.
 *
 * Out-strings: the caller passes a buffer and its capacity in bytes (terminator included). The
 * callee never writes past the capacity: it copies at most capacity-1 bytes, always writes the
 * terminator when the capacity is at least 1, and returns the full length of the text it meant
 * to write (like snprintf), so that a caller can tell a cut text (result >= capacity) and ask
 * again with a larger buffer. Values holding zero bytes come through whole when they fit.
 *
 * Boolean results are 32-bit integers: nonzero = true. Windows and the status label travel as
 * opaque handles (TChequeHandle); 0 is "none".
 *
 * Calling convention: the platform's standard one (callee cleans) on 32-bit Windows, the plain
 * C convention elsewhere.
 */
#ifndef CHEQUE_HOST_H
#define CHEQUE_HOST_H

#include <stdint.h>

#include "layout.h"

#if defined(_WIN32) && !defined(_WIN64)
#define CHEQUE_STDCALL __stdcall
#else
#define CHEQUE_STDCALL
#endif

#if defined(_WIN32)
#define CHEQUE_HOST_API
#else
/* Default visibility even in code built with hidden visibility: the module leaves these
   symbols undefined and the dynamic linker binds them to the host loaded in the process. */
#define CHEQUE_HOST_API __attribute__((visibility("default")))
#endif

typedef uintptr_t TChequeHandle;

/* One network question (39 bytes, packed). */
#pragma pack(push, 1)
typedef struct TPergunta {
  char Prefixo[4];   /* question prefix, passed on unchanged */
  char Texto[26];    /* question text, zero padded; Prefixo+Texto form one text of <= 30 chars */
  char Tipo;         /* '0' keyboard, '1' PIN pad, '2' card */
  int32_t TamMinimo; /* minimum answer length */
  int32_t TamMaximo; /* maximum answer length */
} TPergunta;
#pragma pack(pop)
#ifdef __cplusplus
static_assert(sizeof(TPergunta) == 39, "TPergunta is 39 bytes");
#else
_Static_assert(sizeof(TPergunta) == 39, "TPergunta is 39 bytes");
#endif

/* Status of the field-store functions. */
#define VELKOR_OK 0
#define VELKOR_AUSENTE 1 /* no value under that field and index */
#define VELKOR_CORTADO 2 /* the value is longer than the caller's buffer: only its start came */
#define VELKOR_ERRO 3    /* the store refused the write */

/* Marker of the version text embedded in a module file (see GetBuildInfo). A module embeds
   e.g. `const char versao[] = CHEQUE_MARCA_VERSAO "1.0.0.0";` and keeps it referenced. */
#define CHEQUE_MARCA_VERSAO "@(#)CHEQUE-VERSAO "

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Field store ------------------------------------------------------------------------ */

/* Stores `tamanho` bytes at `dados` under (campo, indice), replacing any earlier value.
   Returns VELKOR_OK, or VELKOR_ERRO when the store refuses it. Changes: that one value. */
CHEQUE_HOST_API uint16_t CHEQUE_STDCALL VelkorGravaCampo(int32_t campo, int32_t indice,
                                                         const void *dados, uint16_t tamanho);

/* Copies the value of (campo, indice) into `buffer`. On entry *tamanho is the buffer's
   capacity in bytes; on return it is the number of bytes copied (0 when absent). When fewer
   bytes than the capacity were copied, a zero byte follows them. Returns VELKOR_OK,
   VELKOR_AUSENTE, or VELKOR_CORTADO (the buffer holds the first *tamanho bytes). Changes
   nothing in the store. */
CHEQUE_HOST_API uint16_t CHEQUE_STDCALL VelkorLeCampo(int32_t campo, int32_t indice, void *buffer,
                                                      uint16_t *tamanho);

/* Removes every index of the field. */
CHEQUE_HOST_API void CHEQUE_STDCALL VelkorLimpaCampo(int32_t campo);

/* Saves the whole store to the host's transaction file. */
CHEQUE_HOST_API void CHEQUE_STDCALL VelkorGravaArquivo(void);

/* Tells the host that the receipt of a refused transaction is held in field `campo`. */
CHEQUE_HOST_API void CHEQUE_STDCALL VelkorSetaCupomNegada(int32_t campo);

/* Copies the value of (campo, indice) as a text into `saida` (empty when absent). Returns the
   value's full length (0 when absent). Changes nothing. */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL LeCampo(char *saida, uint32_t capacidade, int32_t campo,
                                                int32_t indice);

/* Stores the zero-terminated `texto` under (campo, indice). Returns VELKOR_OK or VELKOR_ERRO.
   Changes: that one value (an empty text is stored as an empty value, not removed). */
CHEQUE_HOST_API uint16_t CHEQUE_STDCALL GravaCampoString(int32_t campo, int32_t indice,
                                                         const char *texto);

/* ---- Operator messages and reporting --------------------------------------------------- */

/* Copies operator message `id` into `saida`. Never empty: an unknown number gives a text that
   names the number. Some messages are formats (%s, %d). Returns the full length. */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL LeMensagens(char *saida, uint32_t capacidade, int32_t id);

/* Hands an error (code, text) back to the point-of-sale program. Changes nothing in the store. */
CHEQUE_HOST_API void CHEQUE_STDCALL EnviaArquivoErroPDV(int32_t codigo, const char *texto);

/* ---- Transaction ------------------------------------------------------------------------ */

/* Runs one transaction: builds the request from `layout` (fields read from the store, module
   buffers and constant texts by their current content), writes progress texts on
   `rotuloStatus` (0 = none), and puts the answer into the store: result code in field 1009,
   operator message in 1027, response records in 20017, 20033 and others. `modo` is 0. The
   result is the result code; callers read the outcome from the store. */
CHEQUE_HOST_API int32_t CHEQUE_STDCALL AutorizaTransacao(const TRequestLayout *layout,
                                                         TChequeHandle rotuloStatus, int32_t modo);

/* Gives the host the module's resolver of layout references (cheque/layout.h). The module
   calls it once, when it is loaded; NULL takes it back. */
CHEQUE_HOST_API void CHEQUE_STDCALL VelkorRegistraResolvedor(TResolveReferencia resolvedor);

/* Whether the operator may change data supplied by the host (informative). */
CHEQUE_HOST_API int32_t CHEQUE_STDCALL PermiteAlterarDados(void);

/* True when the last response carries a service-5 record beginning with `prefixo`. */
CHEQUE_HOST_API int32_t CHEQUE_STDCALL VerificaServico5(const char *prefixo, int32_t modo);

/* Fills `perguntas` (room for `capacidade` records) with the questions of the last service-5
   record and reports their number in *quantidade (which may exceed `capacidade`: then only
   the first `capacidade` were copied) and the sizes of the answer table: *teclado questions of
   type '0', *pinpad of type '1', *cartao of any other type. Returns true when there are
   questions. Changes nothing in the store. */
CHEQUE_HOST_API int32_t CHEQUE_STDCALL VerificaServico5Perguntas(TPergunta *perguntas,
                                                                 int32_t capacidade,
                                                                 int32_t *quantidade,
                                                                 int32_t *teclado, int32_t *pinpad,
                                                                 int32_t *cartao);

/* Venezuelan authorisation ended by time-out: read its data, then build its receipt in the
   store (the receipt lines go to field 20018, their number to 20128). */
CHEQUE_HOST_API void CHEQUE_STDCALL Leitura_Dados_ServicoQ_Timeout_Venezuela(void);
CHEQUE_HOST_API void CHEQUE_STDCALL Monta_Comprovante_ServicoQ_Timeout_Venezuela(void);

/* ---- Input functions -------------------------------------------------------------------- */

/* Returns the key to act on for the key typed in a control (*tecla may be changed too). */
CHEQUE_HOST_API char CHEQUE_STDCALL ValKeyBoard(char *tecla);

/* Key filter of numeric controls: digits, Backspace (8) and Enter (13) pass, any other key
   becomes 0 (swallowed). */
CHEQUE_HOST_API void CHEQUE_STDCALL PermiteNumerico_BS_Enter(char *tecla);

/* The text without its formatting characters (blanks and . , - / \ : ( ) _ + ). */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL RemoveFormato(char *saida, uint32_t capacidade,
                                                      const char *texto);

/* The digits of `texto` as an amount: integer part without leading zeros (at least one
   digit), ',' and two decimals, no thousands separator ("12345" -> "123,45", "5" -> "0,05").
   A text without digits gives "". */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL Dollar(char *saida, uint32_t capacidade, const char *texto);

/* True when the text (formatting characters allowed) is 11 digits (CPF) / 14 digits (CNPJ)
   with correct check digits and not one repeated digit. */
CHEQUE_HOST_API int32_t CHEQUE_STDCALL VerificaCPF(const char *texto);
CHEQUE_HOST_API int32_t CHEQUE_STDCALL VerificaCNPJ(const char *texto);

/* The text padded with '0' on the left to `largura` characters (longer texts unchanged). */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL PreencherZerosEsquerda(char *saida, uint32_t capacidade,
                                                               const char *texto, int32_t largura);

/* `quantidade` characters of `fonte` from position `inicio` (1-based; below 1 counts as 1);
   cut at the end of the text. */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL CopyString(char *saida, uint32_t capacidade,
                                                   const char *fonte, int32_t inicio,
                                                   int32_t quantidade);

/* The version embedded in the module file `arquivo`: the printable text after the first
   CHEQUE_MARCA_VERSAO in the file (at most 63 characters); "" when the file cannot be read or
   holds no marker. */
CHEQUE_HOST_API uint32_t CHEQUE_STDCALL GetBuildInfo(char *saida, uint32_t capacidade,
                                                     const char *arquivo);

/* ---- PIN pad, BIN lookup, audit, windows ------------------------------------------------- */

/* Asks for the customer's password on the PIN pad. `titulo` is a 128-byte buffer holding the
   screen's title (read only). Returns 0 when the password was captured. */
CHEQUE_HOST_API uint16_t CHEQUE_STDCALL LerSenha(TChequeHandle janela, const char *prompt1,
                                                 const char *prompt2, int32_t modo, char *titulo);

/* Asks one question on the PIN pad. Returns 0 when answered; the answer is left in field
   10146 (typed) or 10104 (card), index 0. `titulo` as in LerSenha. */
CHEQUE_HOST_API uint16_t CHEQUE_STDCALL ObtemCampoPinpad(TChequeHandle janela, const char *pergunta,
                                                         const char *prompt, char *titulo,
                                                         int32_t tamMinimo, int32_t tamMaximo);

/* Looks up the destination network of the operation described in the store; leaves the
   network code in field 10112. True when the lookup succeeded. */
CHEQUE_HOST_API int32_t CHEQUE_STDCALL FazConsultaBinsRedeDestino(int32_t modo,
                                                                  TChequeHandle rotuloStatus);

/* Appends one line (`tamanho` bytes of `texto`) to the audit trail. */
CHEQUE_HOST_API void CHEQUE_STDCALL GravaAudit(int32_t tipo, const char *texto, int32_t tamanho);

/* Brings the window to the foreground. */
CHEQUE_HOST_API void CHEQUE_STDCALL ColocaJanelaEmPrimeiroPlano(TChequeHandle janela);

#ifdef __cplusplus
}
#endif

#endif /* CHEQUE_HOST_H */
