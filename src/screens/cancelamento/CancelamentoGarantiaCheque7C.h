// The cancellation of a guarantee given with consultation code 7C: the consultation date, the
// document number, the issuer's person type and CPF or CNPJ, the cancellation type, the number
// of cheques and the authorisation number; with several cheques, one authorisation number per
// cheque is typed on the grid of TFrmCncMultiAut. Runs the base transaction screen's confirm
// cycle without a password. Opened by the network menu (code 124, function 3).
#pragma once

#include "screens/base/TrnModeloCheque.h"

class TFrmGarChq7C_Cnc : public TFrmTrn_Mod {
public:
  explicit TFrmGarChq7C_Cnc(TComponent *AOwner);

  bool ValidaCamposForm() override;
  bool VerificaCapturaSenha() override { return true; }
  bool GravaCamposVelkor() override;
  void IniciaCamposForm() override;

  TLabel *lbData = nullptr;
  TMaskEdit *edData = nullptr;
  TLabel *lbNumDocumento = nullptr;
  TEdit *edNumDocumento = nullptr;
  TLabel *lbTipoDoc = nullptr;
  TEdit *edTipoDoc = nullptr;
  TLabel *lbCPFCGC = nullptr;
  TMaskEdit *edCPFCGC = nullptr;
  TLabel *lbTipoCancelamento = nullptr;
  TEdit *edTipoCancelamento = nullptr;
  TLabel *lbQtdChq = nullptr;
  TEdit *edQtdChq = nullptr;
  TLabel *lbNumAutorizacao = nullptr;
  TEdit *edNumAutorizacao = nullptr;

protected:
  void edTipoDocKeyPress(TObject *Sender, char &Key);
  void edQtdChqKeyPress(TObject *Sender, char &Key);
  void edQtdChqExit(TObject *Sender);

private:
  void MostraDica(const std::string &texto);
  // Only the keys in `aceitas` besides Backspace and Enter.
  static bool Aceita(char &Key, const char *aceitas);
  void FocaPrimeiroControle();
};

extern TFrmGarChq7C_Cnc *FrmGarChq7C_Cnc;
