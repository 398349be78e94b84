#include "screens/cancelamento/CancelamentoTrnGarantiaVenezuela.h"

#include <cstring>

#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"
#include "screens/base/ModeloCheque.h"
#include "screens/cancelamento/LayoutsCancelamento.h"

using namespace CancelamentoTrnGarantiaVenezuela;

bool CancelamentoTrnGarantiaVenezuela::bControlaKeyPreview = false;
TFrmCnc_Trn *FrmCnc_Trn = nullptr;

namespace {

// What RGOpcional holds after "CHQ4:" and before its terminator.
constexpr int kTamanhoRG = sizeof CancelamentoTrnGarantiaVenezuela::RGOpcional - 1 - 5;

} // namespace

TFrmCnc_Trn::TFrmCnc_Trn(TComponent *AOwner)
    : TFrmCancelamento_Mod(AOwner, {&bControlaKeyPreview, &TipoEntradaCheque, &DadosCheque},
                           false) {
  Name = "FrmCnc_Trn";
  SetCaption("FrmCnc_Trn");
  lbValor = CriaRotulo(pnCaptura, "lbValor", 8, 16, 120, 15, "Valor:");
  edValor = CriaEdit<TEdit>(pnCaptura, "edValor", 132, 12, 101, 24, 0, 12);
  lbRGGar = CriaRotulo(pnCaptura, "lbRGGar", 250, 46, 110, 15, "RG:");
  // The identity document must fit in its request item.
  edRGGar = CriaEdit<TEdit>(pnCaptura, "edRGGar", 364, 42, 120, 24, 3, kTamanhoRG);

  fDiferencas.textos = {{lbValor, 546}, {lbConta, 573}, {lbRGGar, 580}};
  fDiferencas.edits = {edRGGar};
  fDiferencas.campoChequeDigitado = 1029;
  fDiferencas.chequeDoHost = {{edConta, 1032}, {edDigito, 1033}, {edCheque, 1034}};
  fDiferencas.redeVenezuelana = true;

  Dica(edValor, 26);
  Dica(edRGGar, 42);
  edValor->OnKeyPress = [this](TObject *s, char &k) { edValorKeyPress(s, k); };
  edValor->OnChange = [this](TObject *s) { edValorChange(s); };
  edRGGar->OnExit = [this](TObject *) { EscolhePainelCheque(); };
}

void TFrmCnc_Trn::Configura_Cancelamento_Garantia_Venezuela() {
  ConfiguraTamanhos();
}

void TFrmCnc_Trn::IniciaCamposProprios() {
  lbAgencia->SetEnabled(false);
  edAgencia->SetEnabled(false);
  // An amount the host holds cannot be changed.
  edValor->SetText(Host().Dollar(Host().RemoveFormato(Host().LeCampo(1003, 0))));
  edValor->SetEnabled(Trim(edValor->Text()).empty());
}

// The amount takes the keys of every amount of the module: digits and one decimal separator.
void TFrmCnc_Trn::edValorKeyPress(TObject *, char &Key) {
  FiltraTeclaValor(edValor->Text(), Key);
}

// The amount is shown formatted while it is typed, the caret kept at its end.
void TFrmCnc_Trn::edValorChange(TObject *) {
  if (edValor->Text().empty()) return;
  edValor->SetText(Host().Dollar(Host().RemoveFormato(edValor->Text())));
  edValor->SetSelStart(static_cast<int>(edValor->Text().size()));
}

bool TFrmCnc_Trn::ValidaCamposForm() {
  double valor = 0;
  const std::string texto = Trim(edValor->Text());
  const bool invalido = !TryStrToFloat(texto, valor) || valor <= 0;
  return Verifica({{texto.empty(), 26, edValor, true}, {invalido, 790, edValor, true}}) &&
         VerificaDocumentoEData() && VerificaCheque();
}

bool TFrmCnc_Trn::GravaCamposVelkor() {
  // The network is the module's as the last consultation configured it (empty on a module just
  // loaded): this screen sets no network of its own.
  if (!Grava({{1003, Host().RemoveFormato(edValor->Text())}}) || !GravaCabecalho(CodigoRede, "0") ||
      !Grava({{1014, edNumDocumento->Text()}}))
    return false;
  char(&rg)[20] = CancelamentoTrnGarantiaVenezuela::RGOpcional;
  std::memset(rg, 0, sizeof rg);
  if (!edRGGar->Text().empty()) StrLCopy(rg, sizeof rg, "CHQ4:" + edRGGar->Text());
  return GravaDadosCheque();
}
