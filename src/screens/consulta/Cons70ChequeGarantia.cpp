#include "screens/consulta/Cons70ChequeGarantia.h"

#include <cstdint>

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"

TFrmCon_Gar *FrmCon_Gar = nullptr;
static TEsqueceForm<TFrmCon_Gar, FrmCon_Gar> registro;

namespace {

constexpr size_t kTamanhoChave = 18;

// Zeros on the left up to `largura`; a longer text is kept whole.
std::string ZerosEsquerda(const std::string &texto, int largura) {
  if (largura <= 0 || texto.size() >= static_cast<size_t>(largura)) return texto;
  return std::string(static_cast<size_t>(largura) - texto.size(), '0') + texto;
}

} // namespace

std::string ChaveGarantia(const std::string &cmc7, const std::string &banco,
                          const std::string &agencia, const std::string &conta, int tmBanco,
                          int tmAgencia, int tmConta) {
  const std::string linha = Trim(cmc7);
  const std::string chave = linha.empty() ? ZerosEsquerda(banco, tmBanco) +
                                                ZerosEsquerda(agencia, tmAgencia) +
                                                ZerosEsquerda(conta, tmConta)
                                          : linha;
  return chave.substr(0, kTamanhoChave);
}

TFrmCon_Gar::TFrmCon_Gar(TComponent *AOwner) : TFrmCon_Chq70(AOwner) {
  Name = "FrmCon_Gar";
  SetCaption("FrmCon_Gar");
}

void TFrmCon_Gar::IniciaCamposForm() {
  captura_senha = true;
  TFrmCon_Chq70::IniciaCamposForm();
  lbTitulo->SetCaption(Host().LeMensagens(456));
}

bool TFrmCon_Gar::GravaCamposVelkor() {
  const bool gravou = TFrmCon_Chq70::GravaCamposVelkor();
  if (Host().GravaCampoString(10107, 0, "5") == 0) {
    using namespace ConsultaChequeTrnCheque;
    Host().GravaCampoString(10104, 0,
                            ChaveGarantia(Host().LeCampo(1005, 0), edBanco->Text(),
                                          edAgencia->Text(), edConta->Text(), tmBanco, tmAgencia,
                                          tmConta));
  }
  return gravou;
}

bool TFrmCon_Gar::AutorizaGarantia() {
  Host().GravaCampoString(10134, 0, "2");
  return Host().FazConsultaBinsRedeDestino(0, reinterpret_cast<THandle>(lbMensagem));
}

void TFrmCon_Gar::btConfirmaClick(TObject *Sender) {
  bControlaKeyPreview = false;
  if (!ValidaCamposForm()) return;
  if (!GravaCamposVelkor()) return;
  auto habilita = [this](bool h) {
    SetEnabled(h);
    btConfirma->SetEnabled(h);
    btRetorna->SetEnabled(h);
  };
  habilita(false);
  if (ConsultaChequeTrnCheque::ConsultarBin == 1 && !AutorizaGarantia()) {
    // No destination network: the point of sale sees what the lookup left in the store.
    Host().VelkorGravaArquivo();
    ModalResult = mrOk;
    habilita(true);
    return;
  }
  TFrmCon_Chq70::btConfirmaClick(Sender);
  habilita(true);
}
