#include "screens/cancelamento/CancelamentoTrnGarantia.h"

#include <cstring>

#include "module/ChequeMain.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/cancelamento/LayoutsCancelamento.h"

using namespace CancelamentoTrnGarantia;

bool CancelamentoTrnGarantia::bControlaKeyPreview = false;
TFrmCancGarantia_Mod *FrmCancGarantia_Mod = nullptr;

TFrmCancGarantia_Mod::TFrmCancGarantia_Mod(TComponent *AOwner)
    : TFrmCancelamento_Mod(AOwner, {&bControlaKeyPreview, &TipoEntradaCheque, &DadosCheque}, true) {
  Name = "FrmCancGarantia_Mod";
  SetCaption("FrmCancGarantia_Mod");
  lbMotivo = CriaRotulo(pnCaptura, "lbMotivo", 8, 46, 120, 15, "Motivo do Cancelamento:");
  edMotivo = CriaEdit<TEdit>(pnCaptura, "edMotivo", 132, 42, 40, 24, 2, 3);
  lbTipoEntrada = CriaRotulo(pnCaptura, "lbTipoEntrada", 250, 46, 110, 15, "Tipo Entrada:");
  lbTipoEntrada->SetVisible(false);
  edTipoEntrada = CriaEdit<TEdit>(pnCaptura, "edTipoEntrada", 364, 42, 24, 24, 3, 1);
  edTipoEntrada->SetVisible(false);

  fDiferencas.textos = {
      {lbMotivo, 1136}, {lbTipoEntrada, 725}, {lbCompensacao, 1024}, {lbConta, 572}};
  fDiferencas.edits = {edMotivo, edCompensacao, edAgencia};
  fDiferencas.campoChequeDigitado = 1214;
  fDiferencas.chequeDoHost = {{edCompensacao, 1214}, {edBanco, 1029},  {edAgencia, 1030},
                              {edConta, 1032},       {edDigito, 1033}, {edCheque, 1034}};

  Dica(edMotivo, 1137);
  Dica(edTipoEntrada, 1139);
  Dica(edCompensacao, 86);
  Dica(edAgencia, 55);
  for (TWinControl *e : {edMotivo, edCompensacao, edAgencia})
    e->OnKeyPress = [this](TObject *s, char &k) { FiltraDigitos(s, k); };
  edMotivo->OnExit = [this](TObject *) { EscolhePainelCheque(); };
  edTipoEntrada->OnKeyPress = [this](TObject *s, char &k) { edTipoEntradaKeyPress(s, k); };
  edTipoEntrada->OnExit = [this](TObject *s) { edTipoEntradaExit(s); };
}

void TFrmCancGarantia_Mod::Configura_Consulta_Cancelamento_Garantia() {
  ConfiguraTamanhos();
}

void TFrmCancGarantia_Mod::IniciaCamposForm() {
  TFrmCancelamento_Mod::IniciaCamposForm();
  LayoutRequisicao = &TrnCancelamentoGarantiaCheque;
}

// The entry type is kept hidden; shown, it would choose the panel itself.
void TFrmCancGarantia_Mod::edTipoEntradaKeyPress(TObject *, char &Key) {
  const char k = Host().ValKeyBoard(Key);
  if (k != VK_BACK && k != VK_RETURN && k != '1' && k != '2') Key = 0;
}

void TFrmCancGarantia_Mod::edTipoEntradaExit(TObject *) {
  const std::string tipo = edTipoEntrada->Text();
  if (tipo.empty()) {
    Application->MessageBox(Host().LeMensagens(277), TITULO_APLICACAO, MB_OK | MB_TOPMOST);
    edTipoEntrada->Clear();
    if (edTipoEntrada->CanFocus()) edTipoEntrada->SetFocus();
  } else if (tipo == "1" || tipo == "2") {
    MostraPainel(tipo == "1");
  }
}

bool TFrmCancGarantia_Mod::ValidaCamposForm() {
  return VerificaDocumentoEData() &&
         Verifica({{edMotivo->Text().empty(), 1138, edMotivo, true, false}}) && VerificaCheque();
}

bool TFrmCancGarantia_Mod::GravaCamposVelkor() {
  const std::string motivo = "CHQ11:" + PreencherZerosEsquerda(edMotivo->Text(), 3);
  if (!GravaCabecalho("10", "10") || !Grava({{1110, edMotivo->Text()}}) || !GravaDadosCheque())
    return false;
  std::memset(MotivoCancelamento, 0, sizeof MotivoCancelamento);
  StrLCopy(MotivoCancelamento, sizeof MotivoCancelamento, motivo);
  return true;
}
