// The host's C functions inside the module DLL on Windows. A DLL cannot leave names for the
// process to fill in, so each function here finds the host's own at its first call: exported by
// the point of sale's executable or by any library already loaded in the process, under its
// plain name (or, from a 32-bit host that kept the decoration, Name@bytes). The module's
// forwarding (HostContract.cpp) calls these as it calls the host's functions anywhere else.
#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "cheque/host.h"

namespace {

HMODULE EsteModulo() {
  HMODULE m = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&EsteModulo), &m);
  return m;
}

FARPROC ProcuraEm(HMODULE m, const char *nome, const std::string &decorado) {
  if (FARPROC p = GetProcAddress(m, nome)) return p;
  return GetProcAddress(m, decorado.c_str());
}

// The executable first (a point of sale that links the contract into itself), then every
// library in load order.
FARPROC ProcuraNoProcesso(const char *nome, unsigned bytesArgumentos) {
  const std::string decorado = std::string(nome) + "@" + std::to_string(bytesArgumentos);
  if (FARPROC p = ProcuraEm(GetModuleHandleA(nullptr), nome, decorado)) return p;
  const HMODULE proprio = EsteModulo();
  std::vector<HMODULE> modulos(256);
  DWORD usados = 0;
  const HANDLE processo = GetCurrentProcess();
  for (;;) {
    const DWORD tamanho = static_cast<DWORD>(modulos.size() * sizeof(HMODULE));
    if (!EnumProcessModules(processo, modulos.data(), tamanho, &usados)) return nullptr;
    if (usados <= tamanho) break;
    modulos.resize(usados / sizeof(HMODULE));
  }
  modulos.resize(usados / sizeof(HMODULE));
  for (HMODULE m : modulos)
    if (m != proprio)
      if (FARPROC p = ProcuraEm(m, nome, decorado)) return p;
  return nullptr;
}

// A host without one of the functions cannot run the module's screens as they should: the
// operator is told which one, once, and the call gives the neutral answer (nothing read, nothing
// done, "no").
void AvisaAusente(const char *nome) {
  const std::string texto = std::string("O ponto de venda n\xE3o oferece a fun\xE7\xE3o ") + nome +
                            " que o m\xF3"
                            "dulo de cheque usa.";
  MessageBoxA(nullptr, texto.c_str(), "Cheque", MB_OK | MB_ICONSTOP | MB_TOPMOST);
}

template <class T> constexpr unsigned BytesPilha() {
  return sizeof(T) < 4 ? 4u : static_cast<unsigned>((sizeof(T) + 3) / 4 * 4);
}

template <class R, class... A> struct TFuncaoHost {
  using TPonteiro = R(CHEQUE_STDCALL *)(A...);
  const char *nome;
  TPonteiro ponteiro = nullptr;
  bool procurada = false;

  R operator()(A... args) {
    if (!procurada) {
      procurada = true;
      ponteiro = reinterpret_cast<TPonteiro>(
          reinterpret_cast<void *>(ProcuraNoProcesso(nome, (0u + ... + BytesPilha<A>()))));
      if (!ponteiro) AvisaAusente(nome);
    }
    if (!ponteiro) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    return ponteiro(args...);
  }
};

} // namespace

// Each function of the contract: its name, its signature, and the call through the host's own.
#define CHEQUE_FUNCAO_HOST(R, NOME, PARAMS, ARGS, ...)                                             \
  extern "C" R CHEQUE_STDCALL NOME PARAMS {                                                        \
    static TFuncaoHost<R, ##__VA_ARGS__> funcao{#NOME};                                            \
    return funcao ARGS;                                                                            \
  }

CHEQUE_FUNCAO_HOST(uint16_t, VelkorGravaCampo, (int32_t c, int32_t i, const void *d, uint16_t t),
                   (c, i, d, t), int32_t, int32_t, const void *, uint16_t)
CHEQUE_FUNCAO_HOST(uint16_t, VelkorLeCampo, (int32_t c, int32_t i, void *b, uint16_t *t),
                   (c, i, b, t), int32_t, int32_t, void *, uint16_t *)
CHEQUE_FUNCAO_HOST(void, VelkorLimpaCampo, (int32_t c), (c), int32_t)
CHEQUE_FUNCAO_HOST(void, VelkorGravaArquivo, (void), ())
CHEQUE_FUNCAO_HOST(void, VelkorSetaCupomNegada, (int32_t c), (c), int32_t)
CHEQUE_FUNCAO_HOST(uint32_t, LeCampo, (char *s, uint32_t n, int32_t c, int32_t i), (s, n, c, i),
                   char *, uint32_t, int32_t, int32_t)
CHEQUE_FUNCAO_HOST(uint16_t, GravaCampoString, (int32_t c, int32_t i, const char *t), (c, i, t),
                   int32_t, int32_t, const char *)
CHEQUE_FUNCAO_HOST(uint32_t, LeMensagens, (char *s, uint32_t n, int32_t id), (s, n, id), char *,
                   uint32_t, int32_t)
CHEQUE_FUNCAO_HOST(void, EnviaArquivoErroPDV, (int32_t c, const char *t), (c, t), int32_t,
                   const char *)
CHEQUE_FUNCAO_HOST(int32_t, AutorizaTransacao,
                   (const TRequestLayout *l, TChequeHandle r, int32_t m), (l, r, m),
                   const TRequestLayout *, TChequeHandle, int32_t)
CHEQUE_FUNCAO_HOST(void, VelkorRegistraResolvedor, (TResolveReferencia r), (r), TResolveReferencia)
CHEQUE_FUNCAO_HOST(int32_t, PermiteAlterarDados, (void), ())
CHEQUE_FUNCAO_HOST(int32_t, VerificaServico5, (const char *p, int32_t m), (p, m), const char *,
                   int32_t)
CHEQUE_FUNCAO_HOST(int32_t, VerificaServico5Perguntas,
                   (TPergunta * p, int32_t c, int32_t *q, int32_t *t, int32_t *pp, int32_t *ca),
                   (p, c, q, t, pp, ca), TPergunta *, int32_t, int32_t *, int32_t *, int32_t *,
                   int32_t *)
CHEQUE_FUNCAO_HOST(void, Leitura_Dados_ServicoQ_Timeout_Venezuela, (void), ())
CHEQUE_FUNCAO_HOST(void, Monta_Comprovante_ServicoQ_Timeout_Venezuela, (void), ())
CHEQUE_FUNCAO_HOST(char, ValKeyBoard, (char *k), (k), char *)
CHEQUE_FUNCAO_HOST(void, PermiteNumerico_BS_Enter, (char *k), (k), char *)
CHEQUE_FUNCAO_HOST(uint32_t, RemoveFormato, (char *s, uint32_t n, const char *t), (s, n, t), char *,
                   uint32_t, const char *)
CHEQUE_FUNCAO_HOST(uint32_t, Dollar, (char *s, uint32_t n, const char *t), (s, n, t), char *,
                   uint32_t, const char *)
CHEQUE_FUNCAO_HOST(int32_t, VerificaCPF, (const char *t), (t), const char *)
CHEQUE_FUNCAO_HOST(int32_t, VerificaCNPJ, (const char *t), (t), const char *)
CHEQUE_FUNCAO_HOST(uint32_t, PreencherZerosEsquerda,
                   (char *s, uint32_t n, const char *t, int32_t l), (s, n, t, l), char *, uint32_t,
                   const char *, int32_t)
CHEQUE_FUNCAO_HOST(uint32_t, CopyString, (char *s, uint32_t n, const char *f, int32_t i, int32_t q),
                   (s, n, f, i, q), char *, uint32_t, const char *, int32_t, int32_t)
CHEQUE_FUNCAO_HOST(uint32_t, GetBuildInfo, (char *s, uint32_t n, const char *a), (s, n, a), char *,
                   uint32_t, const char *)
CHEQUE_FUNCAO_HOST(uint16_t, LerSenha,
                   (TChequeHandle j, const char *p1, const char *p2, int32_t m, char *t),
                   (j, p1, p2, m, t), TChequeHandle, const char *, const char *, int32_t, char *)
CHEQUE_FUNCAO_HOST(uint16_t, ObtemCampoPinpad,
                   (TChequeHandle j, const char *q, const char *p, char *t, int32_t mi, int32_t ma),
                   (j, q, p, t, mi, ma), TChequeHandle, const char *, const char *, char *, int32_t,
                   int32_t)
CHEQUE_FUNCAO_HOST(int32_t, FazConsultaBinsRedeDestino, (int32_t m, TChequeHandle r), (m, r),
                   int32_t, TChequeHandle)
CHEQUE_FUNCAO_HOST(void, GravaAudit, (int32_t t, const char *x, int32_t n), (t, x, n), int32_t,
                   const char *, int32_t)
CHEQUE_FUNCAO_HOST(void, ColocaJanelaEmPrimeiroPlano, (TChequeHandle j), (j), TChequeHandle)
