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

// The bytes an argument takes on a 32-bit stack: a pointer's own size for a pointer.
template <class T> constexpr unsigned BytesPilha() {
  // NOLINTNEXTLINE(bugprone-sizeof-expression): the size of the pointer is the one meant
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

CHEQUE_FUNCAO_HOST(uint16_t, VelkorGravaCampo,
                   (int32_t campo, int32_t indice, const void *dados, uint16_t tamanho),
                   (campo, indice, dados, tamanho), int32_t, int32_t, const void *, uint16_t)
CHEQUE_FUNCAO_HOST(uint16_t, VelkorLeCampo,
                   (int32_t campo, int32_t indice, void *buffer, uint16_t *tamanho),
                   (campo, indice, buffer, tamanho), int32_t, int32_t, void *, uint16_t *)
CHEQUE_FUNCAO_HOST(void, VelkorLimpaCampo, (int32_t campo), (campo), int32_t)
CHEQUE_FUNCAO_HOST(void, VelkorGravaArquivo, (void), ())
CHEQUE_FUNCAO_HOST(void, VelkorSetaCupomNegada, (int32_t campo), (campo), int32_t)
CHEQUE_FUNCAO_HOST(uint32_t, LeCampo,
                   (char *saida, uint32_t capacidade, int32_t campo, int32_t indice),
                   (saida, capacidade, campo, indice), char *, uint32_t, int32_t, int32_t)
CHEQUE_FUNCAO_HOST(uint16_t, GravaCampoString, (int32_t campo, int32_t indice, const char *texto),
                   (campo, indice, texto), int32_t, int32_t, const char *)
CHEQUE_FUNCAO_HOST(uint32_t, LeMensagens, (char *saida, uint32_t capacidade, int32_t id),
                   (saida, capacidade, id), char *, uint32_t, int32_t)
CHEQUE_FUNCAO_HOST(void, EnviaArquivoErroPDV, (int32_t codigo, const char *texto), (codigo, texto),
                   int32_t, const char *)
CHEQUE_FUNCAO_HOST(int32_t, AutorizaTransacao,
                   (const TRequestLayout *layout, TChequeHandle rotuloStatus, int32_t modo),
                   (layout, rotuloStatus, modo), const TRequestLayout *, TChequeHandle, int32_t)
CHEQUE_FUNCAO_HOST(void, VelkorRegistraResolvedor, (TResolveReferencia resolvedor), (resolvedor),
                   TResolveReferencia)
CHEQUE_FUNCAO_HOST(int32_t, PermiteAlterarDados, (void), ())
CHEQUE_FUNCAO_HOST(int32_t, VerificaServico5, (const char *prefixo, int32_t modo), (prefixo, modo),
                   const char *, int32_t)
CHEQUE_FUNCAO_HOST(int32_t, VerificaServico5Perguntas,
                   (TPergunta * perguntas, int32_t capacidade, int32_t *quantidade,
                    int32_t *teclado, int32_t *pinpad, int32_t *cartao),
                   (perguntas, capacidade, quantidade, teclado, pinpad, cartao), TPergunta *,
                   int32_t, int32_t *, int32_t *, int32_t *, int32_t *)
CHEQUE_FUNCAO_HOST(void, Leitura_Dados_ServicoQ_Timeout_Venezuela, (void), ())
CHEQUE_FUNCAO_HOST(void, Monta_Comprovante_ServicoQ_Timeout_Venezuela, (void), ())
CHEQUE_FUNCAO_HOST(char, ValKeyBoard, (char *tecla), (tecla), char *)
CHEQUE_FUNCAO_HOST(void, PermiteNumerico_BS_Enter, (char *tecla), (tecla), char *)
CHEQUE_FUNCAO_HOST(uint32_t, RemoveFormato, (char *saida, uint32_t capacidade, const char *texto),
                   (saida, capacidade, texto), char *, uint32_t, const char *)
CHEQUE_FUNCAO_HOST(uint32_t, Dollar, (char *saida, uint32_t capacidade, const char *texto),
                   (saida, capacidade, texto), char *, uint32_t, const char *)
CHEQUE_FUNCAO_HOST(int32_t, VerificaCPF, (const char *texto), (texto), const char *)
CHEQUE_FUNCAO_HOST(int32_t, VerificaCNPJ, (const char *texto), (texto), const char *)
CHEQUE_FUNCAO_HOST(uint32_t, PreencherZerosEsquerda,
                   (char *saida, uint32_t capacidade, const char *texto, int32_t largura),
                   (saida, capacidade, texto, largura), char *, uint32_t, const char *, int32_t)
CHEQUE_FUNCAO_HOST(uint32_t, CopyString,
                   (char *saida, uint32_t capacidade, const char *fonte, int32_t inicio,
                    int32_t quantidade),
                   (saida, capacidade, fonte, inicio, quantidade), char *, uint32_t, const char *,
                   int32_t, int32_t)
CHEQUE_FUNCAO_HOST(uint32_t, GetBuildInfo, (char *saida, uint32_t capacidade, const char *arquivo),
                   (saida, capacidade, arquivo), char *, uint32_t, const char *)
CHEQUE_FUNCAO_HOST(uint16_t, LerSenha,
                   (TChequeHandle janela, const char *prompt1, const char *prompt2, int32_t modo,
                    char *titulo),
                   (janela, prompt1, prompt2, modo, titulo), TChequeHandle, const char *,
                   const char *, int32_t, char *)
CHEQUE_FUNCAO_HOST(uint16_t, ObtemCampoPinpad,
                   (TChequeHandle janela, const char *pergunta, const char *prompt, char *titulo,
                    int32_t tamMinimo, int32_t tamMaximo),
                   (janela, pergunta, prompt, titulo, tamMinimo, tamMaximo), TChequeHandle,
                   const char *, const char *, char *, int32_t, int32_t)
CHEQUE_FUNCAO_HOST(int32_t, FazConsultaBinsRedeDestino, (int32_t modo, TChequeHandle rotuloStatus),
                   (modo, rotuloStatus), int32_t, TChequeHandle)
CHEQUE_FUNCAO_HOST(void, GravaAudit, (int32_t tipo, const char *texto, int32_t tamanho),
                   (tipo, texto, tamanho), int32_t, const char *, int32_t)
CHEQUE_FUNCAO_HOST(void, ColocaJanelaEmPrimeiroPlano, (TChequeHandle janela), (janela),
                   TChequeHandle)
