// The Venezuelan guarantee cancellation screen: the amount, the transaction date, the
// document number, an optional identity document and the cheque (CMC-7 line or bank, account
// and cheque number; the branch is not captured). Never opened by itself: TFrmGarVenez_Cnc
// completes it with its request.
#pragma once

#include "screens/cancelamento/CancelamentoModelo.h"

namespace CancelamentoTrnGarantiaVenezuela {
// The form-level Enter handling is on; off while a confirmation runs.
extern bool bControlaKeyPreview;
} // namespace CancelamentoTrnGarantiaVenezuela

class TFrmCnc_Trn : public TFrmCancelamento_Mod {
public:
  explicit TFrmCnc_Trn(TComponent *AOwner);

  bool ValidaCamposForm() override;
  bool GravaCamposVelkor() override;

  void Configura_Cancelamento_Garantia_Venezuela();

  TLabel *lbValor = nullptr;
  TEdit *edValor = nullptr;
  TLabel *lbRGGar = nullptr;
  TEdit *edRGGar = nullptr;

protected:
  void Configura() override { Configura_Cancelamento_Garantia_Venezuela(); }
  void IniciaCamposProprios() override;
  void edValorChange(TObject *Sender);
  void edValorKeyPress(TObject *Sender, char &Key);
};

extern TFrmCnc_Trn *FrmCnc_Trn;
