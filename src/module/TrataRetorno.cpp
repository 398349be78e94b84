#include "module/TrataRetorno.h"

#include <string>

#include "host/Host.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"
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

std::vector<TRegistroCDLPoa> PercorreRegistrosCDLPoa(const char *bloco, size_t tamanho) {
  std::vector<TRegistroCDLPoa> registros;
  size_t p = 0;
  while (p < tamanho) {
    p += kPrefixoRegistro;
    // The type code ends early at a zero byte, and always at the end of the
    // block.
    std::string codigo;
    for (size_t i = p; i < tamanho && i < p + kTamanhoTipo && bloco[i] != '\0'; ++i)
      codigo += bloco[i];
    const size_t tam = TamanhoRegistroCDLPoa(StrToIntDef(codigo, 0));
    if (tam == 0 || p >= tamanho || tam > tamanho - p) break;
    registros.push_back({p, tam});
    if (bloco[p + tam - 1] != '1') break;
    p += tam;
  }
  return registros;
}

bool TrataRetornoRegistrosCDLPOA(const char *bloco, int tamanho) {
  if (tamanho <= 0 || !bloco) return false;
  const std::vector<TRegistroCDLPoa> registros =
      PercorreRegistrosCDLPoa(bloco, static_cast<size_t>(tamanho));
  int k = 0;
  for (const TRegistroCDLPoa &r : registros) {
    if (Host().VelkorGravaCampo(kCampoRegistroCDL, k, bloco + r.inicio,
                                static_cast<uint16_t>(r.tamanho)) != 0)
      return false;
    ++k;
  }
  // The count tells the point of sale how many registers to read; one needs no
  // count.
  if (k > 1 && Host().GravaCampoString(kCampoQtdRegistrosCDL, 0, IntToStr(k)) != 0) return false;
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
