// The guarantee cancellation: the operator gives the document number and date of the
// guaranteed sale, the reason of the cancellation and the cheque (CMC-7 line or typed bank
// data); the screen writes them and has the host run the cancellation (request code 0x70).
// Opened by the network menu (code 70, function 7, a network other than 96) and by the
// administrative entry point, operation 6.
#pragma once

#include "screens/cancelamento/CancelamentoModelo.h"

namespace CancelamentoTrnGarantia {
// The form-level Enter handling is on; off while a confirmation runs.
extern bool bControlaKeyPreview;
} // namespace CancelamentoTrnGarantia

class TFrmCancGarantia_Mod : public TFrmCancelamento_Mod {
public:
  explicit TFrmCancGarantia_Mod(TComponent *AOwner);

  bool ValidaCamposForm() override;
  bool GravaCamposVelkor() override;
  void IniciaCamposForm() override;

  void Configura_Consulta_Cancelamento_Garantia();

  TLabel *lbMotivo = nullptr;
  TEdit *edMotivo = nullptr;
  TLabel *lbTipoEntrada = nullptr;
  TEdit *edTipoEntrada = nullptr;

protected:
  void Configura() override { Configura_Consulta_Cancelamento_Garantia(); }
  void edTipoEntradaExit(TObject *Sender);
  void edTipoEntradaKeyPress(TObject *Sender, char &Key);
};

extern TFrmCancGarantia_Mod *FrmCancGarantia_Mod;
