#include "module/TrataRetorno.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "host/Host.h"
#include "platform/forms/Forms.h"
#include "platform/text/StrUtils.h"
#include "screens/base/ImprimeConsultaCheque.h"
#include "screens/menus/MenuCheque.h"

namespace {

constexpr int kCampoResultado = 1009;
constexpr int kCampoMensagem = 1027;
constexpr int kCampoQtdRegistros = 20143;
constexpr int kCampoRegistro = 20033;
constexpr int kCampoRegistroCDL = 1189;
constexpr int kCampoQtdRegistrosCDL = 1190;

constexpr unsigned char kRegistroTexto = 0x11;
constexpr unsigned char kRegistroEstruturado = 0x12;

// Bytes before each register that belong to the network, not to the point of
// sale.
constexpr size_t kPrefixoRegistro = 3;
constexpr size_t kTamanhoTipo = 3;

struct TTipoRegistroCDL {
  int tipo;
  size_t tamanho;
};
constexpr TTipoRegistroCDL kTiposRegistro[] = {{1, 179}, {2, 71},  {3, 179},  {4, 431},
                                               {5, 150}, {6, 178}, {999, 313}};

} // namespace

size_t TamanhoRegistroCDLPoa(int tipo) {
  for (const TTipoRegistroCDL &t : kTiposRegistro)
    if (t.tipo == tipo) return t.tamanho;
  return 0;
}

TBlocoCDLPoa PercorreRegistrosCDLPoa(const char *bloco, size_t tamanho) {
  TBlocoCDLPoa achado;
  // `restante` counts down by the register lengths only, not by the skipped
  // bytes: a block can end inside the last register the walk copies.
  int64_t restante = static_cast<int64_t>(tamanho);
  size_t p = 0;
  int k = 0;
  while (restante > 0) {
    p += kPrefixoRegistro;
    // The type code ends early at a zero byte, and at the end of the block.
    std::string codigo;
    for (size_t i = p; i < tamanho && i < p + kTamanhoTipo && bloco[i] != '\0'; ++i)
      codigo += bloco[i];
    const size_t tam = TamanhoRegistroCDLPoa(StrToIntDef(codigo, 0));
    if (tam == 0) break;
    achado.registros.push_back({p, tam});
    const size_t ultimo = p + tam - 1;
    if (ultimo >= tamanho || bloco[ultimo] != '1') break;
    restante -= static_cast<int64_t>(tam);
    p += tam;
    ++k;
  }
  // The point of sale reads the count as one past the index of the register
  // the walk ended on.
  if (k > 0) achado.quantidade = k + 1;
  return achado;
}

std::string CopiaRegistroCDLPoa(const char *bloco, size_t tamanho, const TRegistroCDLPoa &r) {
  std::string registro(r.tamanho, '\0');
  if (r.inicio < tamanho)
    registro.replace(0, std::min(r.tamanho, tamanho - r.inicio), bloco + r.inicio,
                     std::min(r.tamanho, tamanho - r.inicio));
  return registro;
}

bool TrataRetornoRegistrosCDLPOA(const char *bloco, int tamanho) {
  if (tamanho <= 0 || !bloco) return false;
  const size_t tam = static_cast<size_t>(tamanho);
  const TBlocoCDLPoa achado = PercorreRegistrosCDLPoa(bloco, tam);
  int k = 0;
  for (const TRegistroCDLPoa &r : achado.registros) {
    const std::string registro = CopiaRegistroCDLPoa(bloco, tam, r);
    if (Host().VelkorGravaCampo(kCampoRegistroCDL, k, registro.data(),
                                static_cast<uint16_t>(registro.size())) != 0)
      return false;
    ++k;
  }
  if (achado.quantidade > 0 &&
      Host().GravaCampoString(kCampoQtdRegistrosCDL, 0, IntToStr(achado.quantidade)) != 0)
    return false;
  return true;
}

bool TrataRetornoTexto(const char *texto, int tamanho, TMemo *memo) {
  if (tamanho < 1 || !texto || !memo) return false;
  memo->Lines.Clear();
  const std::string mensagem = Trim(Host().LeCampo(kCampoMensagem, 0));
  if (!mensagem.empty()) {
    memo->Lines.Add(mensagem);
    memo->Lines.Add(" ");
  }
  std::string linha;
  for (int i = 0; i < tamanho; ++i) {
    const char c = texto[i];
    const bool ultimo = i == tamanho - 1;
    if (c != '\n' && !ultimo) {
      linha += c;
      continue;
    }
    // A record that does not end with a line feed still shows its last
    // character; a final control character (line feed, carriage return, zero)
    // only ends the line.
    if (ultimo && static_cast<unsigned char>(c) >= 0x20) linha += c;
    memo->Lines.Add(linha.empty() ? std::string(" ") : linha);
    linha.clear();
  }
  return true;
}

bool TrataServicoX_CDLPoa(TLabel *lbTitulo) {
  if (StrToIntDef(Host().LeCampo(kCampoResultado, 0), 255) == 255) return false;
  std::string qtd;
  if (Host().VelkorLeCampo(kCampoQtdRegistros, 0, qtd, 4) != 0) qtd.clear();
  const int quantidade = StrToIntDef(qtd, 0);
  if (quantidade < 1) return false;

  // Every record the count names is walked (the count holds at most four
  // digits); the walk ends early at the first record the store does not hold.
  for (int i = 0; i < quantidade; ++i) {
    std::string registro;
    if (Host().VelkorLeCampo(kCampoRegistro, i, registro, 8192) != 0) break;
    if (registro.empty()) continue;
    const unsigned char tipo = static_cast<unsigned char>(registro[0]);
    const int tamanho = static_cast<int>(registro.size()) - 1;
    if (tipo == kRegistroTexto) {
      TFrmImprime_Mod *tela = Application->CreateForm<TFrmImprime_Mod>();
      if (lbTitulo) tela->lbTitulo->SetCaption(lbTitulo->Caption());
      if (!TrataRetornoTexto(registro.data() + 1, tamanho, tela->MemoConsulta)) {
        tela->Free();
        return false;
      }
      tela->ShowModal();
      Application->ProcessMessages();
      tela->Free();
    } else if (tipo == kRegistroEstruturado) {
      ImprimeCupom = true;
      if (!TrataRetornoRegistrosCDLPOA(registro.data() + 1, tamanho)) return false;
    }
  }
  return true;
}
