#include "host/FakeHost.h"

#include <cstring>

namespace {
std::string Titulo(const char *title) {
  return title ? std::string(title, strnlen(title, 128)) : std::string();
}
} // namespace

std::vector<TFakeHost::TChamada> TFakeHost::CallsOf(const std::string &nome) const {
  std::vector<TChamada> v;
  for (const TChamada &c : fChamadas)
    if (c.nome == nome) v.push_back(c);
  return v;
}

TPergunta TFakeHost::Question(const std::string &prefixo, const std::string &texto, char tipo,
                              int minimo, int maximo) {
  TPergunta p{};
  std::memcpy(p.Prefixo, prefixo.data(), std::min(prefixo.size(), sizeof p.Prefixo));
  std::memcpy(p.Texto, texto.data(), std::min(texto.size(), sizeof p.Texto - 1));
  p.Tipo = tipo;
  p.TamMinimo = minimo;
  p.TamMaximo = maximo;
  return p;
}

uint16_t TFakeHost::Escreve(int campo, int indice, std::string valor) {
  ++fEscritas;
  if (fFalhaEscrita.count(fEscritas) || fCamposQueFalham.count(campo)) return VELKOR_ERRO;
  fStore[{campo, indice}] = std::move(valor);
  return VELKOR_OK;
}

uint16_t TFakeHost::VelkorGravaCampo(int field, int index, const void *data, uint16_t length) {
  std::string v(static_cast<const char *>(data), data ? length : 0);
  Registra("VelkorGravaCampo", {std::to_string(field), std::to_string(index), v});
  return Escreve(field, index, std::move(v));
}

uint16_t TFakeHost::VelkorLeCampo(int field, int index, std::string &out, uint16_t capacity) {
  Registra("VelkorLeCampo",
           {std::to_string(field), std::to_string(index), std::to_string(capacity)});
  const auto v = Get(field, index);
  out = v.value_or("").substr(0, capacity);
  return !v ? VELKOR_AUSENTE : v->size() > capacity ? VELKOR_CORTADO : VELKOR_OK;
}

int TFakeHost::AutorizaTransacao(const TRequestLayout *layout, THandle statusLabel, int mode) {
  Registra("AutorizaTransacao", {layout ? std::to_string(layout->Codigo) : "null",
                                 std::to_string(statusLabel != 0), std::to_string(mode)});
  if (!layout) return 255;
  fRequisicoes.push_back(cheque::layout::DecodificaLayout(
      *layout, &cheque::layout::ResolveReferencia, [this](int c, int i, std::string &out) {
        const auto v = Get(c, i);
        out = v.value_or("");
        return v.has_value();
      }));
  fCodigos.push_back(layout->Codigo);
  if (!fRespostas.empty()) {
    Aplica(fRespostas.front());
    fRespostas.pop_front();
  } else {
    Aplica(fRespostaPadrao);
  }
  const std::string resultado = Get(1009).value_or("");
  char *fim = nullptr;
  const long v = std::strtol(resultado.c_str(), &fim, 10);
  return (*fim == '\0' && !resultado.empty()) ? static_cast<int>(v) : 255;
}

bool TFakeHost::VerificaServico5Perguntas(std::vector<TPergunta> &perguntas,
                                          TRespostasPerguntas &respostas) {
  perguntas = fPerguntas;
  size_t t = 0, p = 0, c = 0;
  for (const TPergunta &q : fPerguntas) (q.Tipo == '0' ? t : q.Tipo == '1' ? p : c)++;
  respostas.Teclado.assign(t, TRespostaTeclado{});
  respostas.Pinpad.assign(p, TRespostaPinpad{});
  respostas.Cartao.assign(c, TRespostaCartao{});
  return !fPerguntas.empty();
}

uint16_t TFakeHost::LerSenha(THandle window, const std::string &prompt1, const std::string &prompt2,
                             int mode, char title[128]) {
  Registra("LerSenha",
           {std::to_string(window != 0), prompt1, prompt2, std::to_string(mode), Titulo(title)});
  return fStatusPinpad;
}

uint16_t TFakeHost::ObtemCampoPinpad(THandle window, const std::string &question,
                                     const std::string &prompt, char title[128], int minLen,
                                     int maxLen) {
  Registra("ObtemCampoPinpad", {std::to_string(window != 0), question, prompt, Titulo(title),
                                std::to_string(minLen), std::to_string(maxLen)});
  if (fStatusPinpad != 0) return fStatusPinpad;
  if (!fRespostasPinpad.empty()) {
    fStore[{10146, 0}] = fRespostasPinpad.front();
    fRespostasPinpad.pop_front();
  }
  return 0;
}

bool TFakeHost::FazConsultaBinsRedeDestino(int mode, THandle statusLabel) {
  Registra("FazConsultaBinsRedeDestino", {std::to_string(mode), std::to_string(statusLabel != 0)});
  if (fRespostasBin.empty()) return true;
  auto [ok, r] = std::move(fRespostasBin.front());
  fRespostasBin.pop_front();
  Aplica(r);
  return ok;
}
