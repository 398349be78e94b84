#include "host/FakeHost.h"

#include <cstring>

#include <cheque/funcoes.h>

namespace {
std::string Num(long long v) {
  return std::to_string(v);
}
} // namespace

TFakeHost::TFakeHost() = default;

TFakeHost::~TFakeHost() {
  if (fInstalado) SetHost(nullptr);
}

void TFakeHost::Instala() {
  SetHost(this);
  fInstalado = true;
}

std::optional<std::string> TFakeHost::Get(int campo, int indice) const {
  auto it = fStore.find({campo, indice});
  if (it == fStore.end()) return std::nullopt;
  return it->second;
}

std::vector<TFakeHost::TChamada> TFakeHost::CallsOf(const std::string &nome) const {
  std::vector<TChamada> v;
  for (const TChamada &c : fChamadas)
    if (c.nome == nome) v.push_back(c);
  return v;
}

int TFakeHost::CountOf(const std::string &nome) const {
  int n = 0;
  for (const TChamada &c : fChamadas) n += c.nome == nome;
  return n;
}

std::vector<std::string> TFakeHost::CallNames() const {
  std::vector<std::string> v;
  for (const TChamada &c : fChamadas) v.push_back(c.nome);
  return v;
}

void TFakeHost::SetQuestions(std::vector<TPergunta> perguntas, std::string prefixo) {
  fPerguntas = std::move(perguntas);
  fPrefixo = std::move(prefixo);
}

TPergunta TFakeHost::Question(const std::string &prefixo, const std::string &texto, char tipo,
                              int minimo, int maximo) {
  TPergunta p;
  std::memset(&p, 0, sizeof p);
  std::memcpy(p.Prefixo, prefixo.data(), std::min(prefixo.size(), sizeof p.Prefixo));
  std::memcpy(p.Texto, texto.data(), std::min(texto.size(), sizeof p.Texto - 1));
  p.Tipo = tipo;
  p.TamMinimo = minimo;
  p.TamMaximo = maximo;
  return p;
}

void TFakeHost::Registra(std::string nome, std::vector<std::string> args) {
  fChamadas.push_back({std::move(nome), std::move(args)});
}

uint16_t TFakeHost::Escreve(int campo, int indice, std::string valor) {
  ++fEscritas;
  if (fFalhaEscrita.count(fEscritas) || fCamposQueFalham.count(campo)) return VELKOR_ERRO;
  fStore[{campo, indice}] = std::move(valor);
  return VELKOR_OK;
}

void TFakeHost::Aplica(const TResposta &r) {
  for (const TOperacao &op : r) {
    if (op.valor)
      fStore[{op.campo, op.indice}] = *op.valor;
    else
      fStore.erase(fStore.lower_bound({op.campo, INT32_MIN}),
                   fStore.upper_bound({op.campo, INT32_MAX}));
  }
}

// ---- Field store

uint16_t TFakeHost::VelkorGravaCampo(int field, int index, const void *data, uint16_t length) {
  std::string v(static_cast<const char *>(data), data ? length : 0);
  Registra("VelkorGravaCampo", {Num(field), Num(index), v});
  return Escreve(field, index, std::move(v));
}

uint16_t TFakeHost::VelkorLeCampo(int field, int index, std::string &out, uint16_t capacity) {
  Registra("VelkorLeCampo", {Num(field), Num(index), Num(capacity)});
  auto it = fStore.find({field, index});
  if (it == fStore.end()) {
    out.clear();
    return VELKOR_AUSENTE;
  }
  if (it->second.size() > capacity) {
    out = it->second.substr(0, capacity);
    return VELKOR_CORTADO;
  }
  out = it->second;
  return VELKOR_OK;
}

void TFakeHost::VelkorLimpaCampo(int field) {
  Registra("VelkorLimpaCampo", {Num(field)});
  Aplica({TOperacao::Remove(field)});
}

void TFakeHost::VelkorGravaArquivo() {
  Registra("VelkorGravaArquivo", {});
  ++fSaves;
  fSalvo = fStore;
}

void TFakeHost::VelkorSetaCupomNegada(int field) {
  Registra("VelkorSetaCupomNegada", {Num(field)});
  fCupomNegada = field;
}

std::string TFakeHost::LeCampo(int field, int index) {
  Registra("LeCampo", {Num(field), Num(index)});
  return Get(field, index).value_or("");
}

uint16_t TFakeHost::GravaCampoString(int field, int index, const std::string &text) {
  Registra("GravaCampoString", {Num(field), Num(index), text});
  return Escreve(field, index, text);
}

// ---- Messages and reporting

std::string TFakeHost::LeMensagens(int id) {
  Registra("LeMensagens", {Num(id)});
  auto it = fMensagens.find(id);
  return it != fMensagens.end() ? it->second : "MSG " + Num(id);
}

void TFakeHost::EnviaArquivoErroPDV(int code, const std::string &text) {
  Registra("EnviaArquivoErroPDV", {Num(code), text});
  fErrosPdv.emplace_back(code, text);
}

// ---- Transaction

int TFakeHost::AutorizaTransacao(const TRequestLayout *layout, THandle statusLabel, int mode) {
  Registra("AutorizaTransacao",
           {layout ? Num(layout->Codigo) : "null", Num(statusLabel != 0), Num(mode)});
  if (!layout) return 255;
  fRequisicoes.push_back(cheque::layout::DecodificaLayout(
      *layout, &cheque::layout::ResolveReferencia, [this](int c, int i, std::string &out) {
        const auto v = Get(c, i);
        out = v.value_or("");
        return v.has_value();
      }));
  fCodigos.push_back(layout->Codigo);
  if (!fRespostas.empty()) {
    TResposta r = std::move(fRespostas.front());
    fRespostas.pop_front();
    Aplica(r);
  } else {
    Aplica(fRespostaPadrao);
  }
  auto it = fStore.find({1009, 0});
  if (it == fStore.end()) return 255;
  char *fim = nullptr;
  long v = std::strtol(it->second.c_str(), &fim, 10);
  return (fim && *fim == '\0' && !it->second.empty()) ? static_cast<int>(v) : 255;
}

bool TFakeHost::PermiteAlterarDados() {
  Registra("PermiteAlterarDados", {});
  return true;
}

bool TFakeHost::VerificaServico5(const std::string &prefix, int mode) {
  Registra("VerificaServico5", {prefix, Num(mode)});
  return !fPerguntas.empty() && prefix == fPrefixo;
}

bool TFakeHost::VerificaServico5Perguntas(std::vector<TPergunta> &perguntas,
                                          TRespostasPerguntas &respostas) {
  Registra("VerificaServico5Perguntas", {});
  perguntas = fPerguntas;
  size_t t = 0, p = 0, c = 0;
  for (const TPergunta &q : fPerguntas) (q.Tipo == '0' ? t : q.Tipo == '1' ? p : c)++;
  respostas.Teclado.assign(t, TRespostaTeclado{});
  respostas.Pinpad.assign(p, TRespostaPinpad{});
  respostas.Cartao.assign(c, TRespostaCartao{});
  return !fPerguntas.empty();
}

void TFakeHost::Leitura_Dados_ServicoQ_Timeout_Venezuela() {
  Registra("Leitura_Dados_ServicoQ_Timeout_Venezuela", {});
}

void TFakeHost::Monta_Comprovante_ServicoQ_Timeout_Venezuela() {
  Registra("Monta_Comprovante_ServicoQ_Timeout_Venezuela", {});
}

// ---- Input functions (the reference host's own code)

char TFakeHost::ValKeyBoard(char &key) {
  Registra("ValKeyBoard", {std::string(1, key)});
  key = cheque::funcoes::ValKeyBoard(key);
  return key;
}

void TFakeHost::PermiteNumerico_BS_Enter(char &key) {
  Registra("PermiteNumerico_BS_Enter", {std::string(1, key)});
  key = cheque::funcoes::PermiteNumerico_BS_Enter(key);
}

std::string TFakeHost::RemoveFormato(const std::string &text) {
  Registra("RemoveFormato", {text});
  return cheque::funcoes::RemoveFormato(text);
}

std::string TFakeHost::Dollar(const std::string &digits) {
  Registra("Dollar", {digits});
  return cheque::funcoes::Dollar(digits);
}

bool TFakeHost::VerificaCPF(const std::string &text) {
  Registra("VerificaCPF", {text});
  return cheque::funcoes::VerificaCPF(text);
}

bool TFakeHost::VerificaCNPJ(const std::string &text) {
  Registra("VerificaCNPJ", {text});
  return cheque::funcoes::VerificaCNPJ(text);
}

std::string TFakeHost::PreencherZerosEsquerda(const std::string &text, int width) {
  Registra("PreencherZerosEsquerda", {text, Num(width)});
  return cheque::funcoes::PreencherZerosEsquerda(text, width);
}

std::string TFakeHost::CopyString(const std::string &source, int a, int b) {
  Registra("CopyString", {source, Num(a), Num(b)});
  return cheque::funcoes::CopyString(source, a, b);
}

std::string TFakeHost::GetBuildInfo(const std::string &moduleFile) {
  Registra("GetBuildInfo", {moduleFile});
  return fVersao;
}

// ---- PIN pad, BIN lookup, audit, windows

uint16_t TFakeHost::LerSenha(THandle window, const std::string &prompt1, const std::string &prompt2,
                             int mode, char title[128]) {
  Registra("LerSenha", {Num(window != 0), prompt1, prompt2, Num(mode),
                        title ? std::string(title, strnlen(title, 128)) : std::string()});
  return fStatusPinpad;
}

uint16_t TFakeHost::ObtemCampoPinpad(THandle window, const std::string &question,
                                     const std::string &prompt, char title[128], int minLen,
                                     int maxLen) {
  Registra("ObtemCampoPinpad", {Num(window != 0), question, prompt,
                                title ? std::string(title, strnlen(title, 128)) : std::string(),
                                Num(minLen), Num(maxLen)});
  if (fStatusPinpad != 0) return fStatusPinpad;
  if (!fRespostasPinpad.empty()) {
    Aplica({TOperacao::Grava(10146, 0, fRespostasPinpad.front())});
    fRespostasPinpad.pop_front();
  }
  return 0;
}

bool TFakeHost::FazConsultaBinsRedeDestino(int mode, THandle statusLabel) {
  Registra("FazConsultaBinsRedeDestino", {Num(mode), Num(statusLabel != 0)});
  if (fRespostasBin.empty()) return true;
  auto [ok, r] = std::move(fRespostasBin.front());
  fRespostasBin.pop_front();
  Aplica(r);
  return ok;
}

void TFakeHost::GravaAudit(int kind, const std::string &text) {
  Registra("GravaAudit", {Num(kind), text});
  fAudit.push_back(text);
}

void TFakeHost::ColocaJanelaEmPrimeiroPlano(THandle window) {
  Registra("ColocaJanelaEmPrimeiroPlano", {Num(window != 0)});
}
