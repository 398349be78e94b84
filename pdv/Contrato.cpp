// The host contract's C functions, served by the process's TPdvHost. Nothing
// thrown inside ever crosses into the caller: a failure becomes the function's
// failure result.
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <sys/stat.h>

#include <cheque/funcoes.h>
#include <cheque/host.h>

#include "PdvHost.h"

#define PDV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
pdv::TPdvHost &H() {
  return pdv::TPdvHost::Instancia();
}

std::string Texto(const char *s) {
  return s ? std::string(s) : std::string();
}

// Out-string: at most capacity-1 bytes and a terminator; returns the full
// length.
uint32_t Copia(char *saida, uint32_t capacidade, const std::string &s) {
  if (saida && capacidade > 0) {
    size_t n = std::min<size_t>(s.size(), capacidade - 1);
    std::memcpy(saida, s.data(), n);
    saida[n] = '\0';
  }
  return static_cast<uint32_t>(std::min<size_t>(s.size(), UINT32_MAX));
}

// The version text after the marker, reading the file only as far as it.
std::string LeVersao(const std::string &arquivo) {
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(arquivo.c_str(), "rb"),
                                                     &std::fclose);
  if (!f) return std::string();
  const std::string_view marca = CHEQUE_MARCA_VERSAO;
  constexpr size_t kMaxVersao = 63;
  std::string janela;
  char bloco[65536];
  size_t p = std::string::npos;
  for (size_t n; (n = std::fread(bloco, 1, sizeof bloco, f.get())) > 0;) {
    janela.append(bloco, n);
    if (p == std::string::npos) {
      p = janela.find(marca);
      // Keep only what may be the start of a marker cut by the end of the block.
      if (p == std::string::npos) {
        janela.erase(0, janela.size() - std::min(janela.size(), marca.size() - 1));
        continue;
      }
    }
    if (janela.size() >= p + marca.size() + kMaxVersao) break;
  }
  if (p == std::string::npos) return std::string();
  std::string v;
  for (size_t i = p + marca.size(); i < janela.size() && v.size() < kMaxVersao; ++i) {
    const unsigned char c = static_cast<unsigned char>(janela[i]);
    if (c < 0x20 || c >= 0x7F) break;
    v += static_cast<char>(c);
  }
  return v;
}

// Every screen asks for the version when it is created, and the module file is megabytes
// long: it is read once per file, and again only when the file changes.
std::string Versao(const std::string &arquivo) {
  struct stat st {};
  if (::stat(arquivo.c_str(), &st) != 0) return std::string();
  struct TLida {
    dev_t dev;
    ino_t ino;
    off_t tamanho;
    time_t mudou;
    std::string versao;
  };
  static std::mutex trava;
  static std::map<std::string, TLida> lidas;
  const std::lock_guard<std::mutex> guarda(trava);
  auto it = lidas.find(arquivo);
  if (it != lidas.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino &&
      it->second.tamanho == st.st_size && it->second.mudou == st.st_mtime)
    return it->second.versao;
  std::string v = LeVersao(arquivo);
  lidas[arquivo] = TLida{st.st_dev, st.st_ino, st.st_size, st.st_mtime, v};
  return v;
}
} // namespace

// ---- Field store

PDV_EXPORT uint16_t CHEQUE_STDCALL VelkorGravaCampo(int32_t campo, int32_t indice,
                                                    const void *dados, uint16_t tamanho) try {
  if (!dados && tamanho > 0) return VELKOR_ERRO;
  return H().GravaCampo(campo, indice,
                        std::string(static_cast<const char *>(dados), dados ? tamanho : 0));
} catch (...) {
  return VELKOR_ERRO;
}

PDV_EXPORT uint16_t CHEQUE_STDCALL VelkorLeCampo(int32_t campo, int32_t indice, void *buffer,
                                                 uint16_t *tamanho) try {
  uint16_t capacidade = tamanho ? *tamanho : 0;
  if (tamanho) *tamanho = 0;
  const auto v = H().LeCampo(campo, indice);
  if (!v) return VELKOR_AUSENTE;
  size_t n = std::min<size_t>(v->size(), buffer ? capacidade : 0);
  if (n) std::memcpy(buffer, v->data(), n);
  if (buffer && n < capacidade) static_cast<char *>(buffer)[n] = '\0';
  if (tamanho) *tamanho = static_cast<uint16_t>(n);
  return n < v->size() ? VELKOR_CORTADO : VELKOR_OK;
} catch (...) {
  return VELKOR_ERRO;
}

PDV_EXPORT void CHEQUE_STDCALL VelkorLimpaCampo(int32_t campo) try {
  H().RemoveCampo(campo);
} catch (...) {
}

PDV_EXPORT void CHEQUE_STDCALL VelkorGravaArquivo(void) try { H().GravaArquivo(); } catch (...) {
}

PDV_EXPORT void CHEQUE_STDCALL VelkorSetaCupomNegada(int32_t campo) {
  H().SetaCupomNegada(campo);
}

PDV_EXPORT uint32_t CHEQUE_STDCALL LeCampo(char *saida, uint32_t capacidade, int32_t campo,
                                           int32_t indice) try {
  const auto v = H().LeCampo(campo, indice);
  return Copia(saida, capacidade, v ? std::string(*v) : std::string());
} catch (...) {
  return Copia(saida, capacidade, std::string());
}

PDV_EXPORT uint16_t CHEQUE_STDCALL GravaCampoString(int32_t campo, int32_t indice,
                                                    const char *texto) try {
  return H().GravaCampo(campo, indice, Texto(texto));
} catch (...) {
  return VELKOR_ERRO;
}

// ---- Messages and reporting

PDV_EXPORT uint32_t CHEQUE_STDCALL LeMensagens(char *saida, uint32_t capacidade, int32_t id) try {
  return Copia(saida, capacidade, H().Mensagem(id));
} catch (...) {
  return Copia(saida, capacidade, "[mensagem " + std::to_string(id) + "]");
}

PDV_EXPORT void CHEQUE_STDCALL EnviaArquivoErroPDV(int32_t codigo, const char *texto) try {
  H().EnviaErroPdv(codigo, Texto(texto));
} catch (...) {
}

// ---- Transaction

PDV_EXPORT int32_t CHEQUE_STDCALL AutorizaTransacao(const TRequestLayout *layout,
                                                    TChequeHandle rotuloStatus, int32_t modo) try {
  return H().Autoriza(layout, rotuloStatus, modo);
} catch (...) {
  return 255;
}

PDV_EXPORT void CHEQUE_STDCALL VelkorRegistraResolvedor(TResolveReferencia resolvedor) {
  H().DefineResolvedor(resolvedor);
}

PDV_EXPORT int32_t CHEQUE_STDCALL PermiteAlterarDados(void) {
  return 1;
}

PDV_EXPORT int32_t CHEQUE_STDCALL VerificaServico5(const char *prefixo, int32_t) try {
  const auto *s = H().Servico5Atual();
  return s && s->prefixo == Texto(prefixo);
} catch (...) {
  return 0;
}

PDV_EXPORT int32_t CHEQUE_STDCALL VerificaServico5Perguntas(TPergunta *perguntas,
                                                            int32_t capacidade, int32_t *quantidade,
                                                            int32_t *teclado, int32_t *pinpad,
                                                            int32_t *cartao) try {
  const auto *s = H().Servico5Atual();
  int32_t n = 0, t = 0, p = 0, c = 0;
  if (s) {
    for (const TPergunta &q : s->perguntas) {
      if (perguntas && n < capacidade) perguntas[n] = q;
      ++n;
      (q.Tipo == '0' ? t : q.Tipo == '1' ? p : c)++;
    }
  }
  if (quantidade) *quantidade = n;
  if (teclado) *teclado = t;
  if (pinpad) *pinpad = p;
  if (cartao) *cartao = c;
  return n > 0;
} catch (...) {
  return 0;
}

PDV_EXPORT void CHEQUE_STDCALL Leitura_Dados_ServicoQ_Timeout_Venezuela(void) try {
  H().LeituraTimeoutVenezuela();
} catch (...) {
}

PDV_EXPORT void CHEQUE_STDCALL Monta_Comprovante_ServicoQ_Timeout_Venezuela(void) try {
  H().ComprovanteTimeoutVenezuela();
} catch (...) {
}

// ---- Input functions

PDV_EXPORT char CHEQUE_STDCALL ValKeyBoard(char *tecla) {
  if (!tecla) return '\0';
  *tecla = cheque::funcoes::ValKeyBoard(*tecla);
  return *tecla;
}

PDV_EXPORT void CHEQUE_STDCALL PermiteNumerico_BS_Enter(char *tecla) {
  if (tecla) *tecla = cheque::funcoes::PermiteNumerico_BS_Enter(*tecla);
}

PDV_EXPORT uint32_t CHEQUE_STDCALL RemoveFormato(char *saida, uint32_t capacidade,
                                                 const char *texto) try {
  return Copia(saida, capacidade, cheque::funcoes::RemoveFormato(Texto(texto)));
} catch (...) {
  return Copia(saida, capacidade, std::string());
}

PDV_EXPORT uint32_t CHEQUE_STDCALL Dollar(char *saida, uint32_t capacidade, const char *texto) try {
  return Copia(saida, capacidade, cheque::funcoes::Dollar(Texto(texto)));
} catch (...) {
  return Copia(saida, capacidade, std::string());
}

PDV_EXPORT int32_t CHEQUE_STDCALL VerificaCPF(const char *texto) try {
  return cheque::funcoes::VerificaCPF(Texto(texto));
} catch (...) {
  return 0;
}

PDV_EXPORT int32_t CHEQUE_STDCALL VerificaCNPJ(const char *texto) try {
  return cheque::funcoes::VerificaCNPJ(Texto(texto));
} catch (...) {
  return 0;
}

PDV_EXPORT uint32_t CHEQUE_STDCALL PreencherZerosEsquerda(char *saida, uint32_t capacidade,
                                                          const char *texto, int32_t largura) try {
  // A width beyond what any buffer could hold is a caller's mistake: cap it.
  return Copia(saida, capacidade,
               cheque::funcoes::PreencherZerosEsquerda(Texto(texto), std::min(largura, 65536)));
} catch (...) {
  return Copia(saida, capacidade, std::string());
}

PDV_EXPORT uint32_t CHEQUE_STDCALL CopyString(char *saida, uint32_t capacidade, const char *fonte,
                                              int32_t inicio, int32_t quantidade) try {
  return Copia(saida, capacidade, cheque::funcoes::CopyString(Texto(fonte), inicio, quantidade));
} catch (...) {
  return Copia(saida, capacidade, std::string());
}

PDV_EXPORT uint32_t CHEQUE_STDCALL GetBuildInfo(char *saida, uint32_t capacidade,
                                                const char *arquivo) try {
  return Copia(saida, capacidade, Versao(Texto(arquivo)));
} catch (...) {
  return Copia(saida, capacidade, std::string());
}

// ---- PIN pad, BIN lookup, audit, windows

PDV_EXPORT uint16_t CHEQUE_STDCALL LerSenha(TChequeHandle, const char *, const char *, int32_t,
                                            char *) try {
  return H().Senha();
} catch (...) {
  return 1;
}

PDV_EXPORT uint16_t CHEQUE_STDCALL ObtemCampoPinpad(TChequeHandle, const char *, const char *,
                                                    char *, int32_t tamMinimo,
                                                    int32_t tamMaximo) try {
  return H().CampoPinpad(tamMinimo, tamMaximo);
} catch (...) {
  return 1;
}

PDV_EXPORT int32_t CHEQUE_STDCALL FazConsultaBinsRedeDestino(int32_t modo,
                                                             TChequeHandle rotuloStatus) try {
  return H().ConsultaBins(modo, rotuloStatus);
} catch (...) {
  return 0;
}

PDV_EXPORT void CHEQUE_STDCALL GravaAudit(int32_t tipo, const char *texto, int32_t tamanho) try {
  if (!texto) return;
  size_t n = tamanho < 0 ? std::strlen(texto) : strnlen(texto, static_cast<size_t>(tamanho));
  H().Audit(tipo, std::string(texto, n));
} catch (...) {
}

PDV_EXPORT void CHEQUE_STDCALL ColocaJanelaEmPrimeiroPlano(TChequeHandle) {}
