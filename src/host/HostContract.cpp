// The module's host in the shared module: forwards every call to the host's C functions,
// which the dynamic linker binds to the host loaded in the process. Built only into the
// shared module; registers itself as the default host when the module is loaded, and hands
// the host the resolver of its request-layout references.
#include <cstring>
#include <vector>

#include "host/Host.h"

namespace {

// Calls an out-string function, growing the buffer when the text did not fit.
template <class F> std::string LeTexto(F chamada) {
  std::vector<char> buf(512);
  for (;;) {
    uint32_t n = chamada(buf.data(), static_cast<uint32_t>(buf.size()));
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(static_cast<size_t>(n) + 1);
  }
}

class TContratoHost final : public IHost {
public:
  uint16_t VelkorGravaCampo(int field, int index, const void *data, uint16_t length) override {
    return ::VelkorGravaCampo(field, index, data, length);
  }
  uint16_t VelkorLeCampo(int field, int index, std::string &out, uint16_t capacity) override {
    std::vector<char> buf(static_cast<size_t>(capacity) + 1, '\0');
    uint16_t tam = capacity;
    uint16_t st = ::VelkorLeCampo(field, index, buf.data(), &tam);
    out.assign(buf.data(), tam <= capacity ? tam : capacity);
    return st;
  }
  void VelkorLimpaCampo(int field) override { ::VelkorLimpaCampo(field); }
  void VelkorGravaArquivo() override { ::VelkorGravaArquivo(); }
  void VelkorSetaCupomNegada(int field) override { ::VelkorSetaCupomNegada(field); }
  std::string LeCampo(int field, int index) override {
    return LeTexto([&](char *b, uint32_t c) { return ::LeCampo(b, c, field, index); });
  }
  uint16_t GravaCampoString(int field, int index, const std::string &text) override {
    return ::GravaCampoString(field, index, text.c_str());
  }
  std::string LeMensagens(int id) override {
    return LeTexto([&](char *b, uint32_t c) { return ::LeMensagens(b, c, id); });
  }
  void EnviaArquivoErroPDV(int code, const std::string &text) override {
    ::EnviaArquivoErroPDV(code, text.c_str());
  }
  int AutorizaTransacao(const TRequestLayout *layout, THandle statusLabel, int mode) override {
    return ::AutorizaTransacao(layout, statusLabel, mode);
  }
  bool PermiteAlterarDados() override { return ::PermiteAlterarDados() != 0; }
  bool VerificaServico5(const std::string &prefix, int mode) override {
    return ::VerificaServico5(prefix.c_str(), mode) != 0;
  }
  bool VerificaServico5Perguntas(std::vector<TPergunta> &perguntas,
                                 TRespostasPerguntas &respostas) override {
    std::vector<TPergunta> buf(64);
    int32_t n = 0, t = 0, p = 0, c = 0;
    int32_t ok = 0;
    for (;;) {
      std::memset(buf.data(), 0, buf.size() * sizeof(TPergunta));
      ok =
          ::VerificaServico5Perguntas(buf.data(), static_cast<int32_t>(buf.size()), &n, &t, &p, &c);
      if (n <= static_cast<int32_t>(buf.size())) break;
      buf.resize(static_cast<size_t>(n));
    }
    buf.resize(static_cast<size_t>(n > 0 ? n : 0));
    perguntas = std::move(buf);
    respostas.Teclado.assign(static_cast<size_t>(t > 0 ? t : 0), TRespostaTeclado{});
    respostas.Pinpad.assign(static_cast<size_t>(p > 0 ? p : 0), TRespostaPinpad{});
    respostas.Cartao.assign(static_cast<size_t>(c > 0 ? c : 0), TRespostaCartao{});
    return ok != 0;
  }
  void Leitura_Dados_ServicoQ_Timeout_Venezuela() override {
    ::Leitura_Dados_ServicoQ_Timeout_Venezuela();
  }
  void Monta_Comprovante_ServicoQ_Timeout_Venezuela() override {
    ::Monta_Comprovante_ServicoQ_Timeout_Venezuela();
  }
  char ValKeyBoard(char &key) override { return ::ValKeyBoard(&key); }
  void PermiteNumerico_BS_Enter(char &key) override { ::PermiteNumerico_BS_Enter(&key); }
  std::string RemoveFormato(const std::string &text) override {
    return LeTexto([&](char *b, uint32_t c) { return ::RemoveFormato(b, c, text.c_str()); });
  }
  std::string Dollar(const std::string &digits) override {
    return LeTexto([&](char *b, uint32_t c) { return ::Dollar(b, c, digits.c_str()); });
  }
  bool VerificaCPF(const std::string &text) override { return ::VerificaCPF(text.c_str()) != 0; }
  bool VerificaCNPJ(const std::string &text) override { return ::VerificaCNPJ(text.c_str()) != 0; }
  std::string PreencherZerosEsquerda(const std::string &text, int width) override {
    return LeTexto(
        [&](char *b, uint32_t c) { return ::PreencherZerosEsquerda(b, c, text.c_str(), width); });
  }
  std::string CopyString(const std::string &source, int a, int b) override {
    return LeTexto([&](char *o, uint32_t c) { return ::CopyString(o, c, source.c_str(), a, b); });
  }
  std::string GetBuildInfo(const std::string &moduleFile) override {
    return LeTexto([&](char *b, uint32_t c) { return ::GetBuildInfo(b, c, moduleFile.c_str()); });
  }
  uint16_t LerSenha(THandle window, const std::string &prompt1, const std::string &prompt2,
                    int mode, char title[128]) override {
    return ::LerSenha(window, prompt1.c_str(), prompt2.c_str(), mode, title);
  }
  uint16_t ObtemCampoPinpad(THandle window, const std::string &question, const std::string &prompt,
                            char title[128], int minLen, int maxLen) override {
    return ::ObtemCampoPinpad(window, question.c_str(), prompt.c_str(), title, minLen, maxLen);
  }
  bool FazConsultaBinsRedeDestino(int mode, THandle statusLabel) override {
    return ::FazConsultaBinsRedeDestino(mode, statusLabel) != 0;
  }
  void GravaAudit(int kind, const std::string &text) override {
    ::GravaAudit(kind, text.c_str(), static_cast<int32_t>(text.size()));
  }
  void ColocaJanelaEmPrimeiroPlano(THandle window) override {
    ::ColocaJanelaEmPrimeiroPlano(window);
  }
};

TContratoHost gContrato;

struct TRegistro {
  TRegistro() {
    RegistraHostPadrao(&gContrato);
    ::VelkorRegistraResolvedor(&cheque::layout::ResolveReferencia);
  }
  ~TRegistro() {
    ::VelkorRegistraResolvedor(nullptr);
    RegistraHostPadrao(nullptr);
  }
} gRegistro;

} // namespace
