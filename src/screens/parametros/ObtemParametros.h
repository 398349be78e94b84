// The Telecheque rate-table load. The point of sale asks for it, usually unattended at
// opening time: the screen only shows a waiting panel while the module checks the merchant
// data, sends one request to the Telecheque network through the host and stores the rate
// parameters of the answer in field 1204. Every way out leaves a result in the store:
// 1009 "FF" and the network's text in 1027 when the table was loaded, the missing datum's
// message when the shop is not set up, the host's code and (for no answer) message 1055
// when the network refused or did not answer.
#pragma once

#include "host/Host.h"
#include "screens/base/ModeloCheque.h"

// The rate-table request: network code, 10171, and the constant "0".
extern const TRequestLayout TrnObtemParametrosTaxasTeleCheque;

class TFrmObtemPar_Mod : public TFrmMod {
public:
  explicit TFrmObtemPar_Mod(TComponent *AOwner);

  TPanel *PnCaptura = nullptr;
  TLabel *lbAlerta = nullptr;

  // Titles, then the merchant-data check (run when the screen is created).
  void IniciaCamposForm();
  // Sends the request and stores the answer. True when the network answered 0.
  bool Executa_Consulta_Parametros();
  // Runs the load and leaves its outcome in the store; refusals also go to the point of
  // sale. True when the table was loaded.
  bool Realiza_Consulta_Parametros();

  // False when a merchant datum was missing: the store already says so, and nothing may be
  // sent for this shop.
  bool DadosEstabelecimentoCompletos() const { return fDadosCompletos; }

protected:
  void FormCreate(TObject *Sender) override;

private:
  const TRequestLayout *LayoutRequisicao = nullptr;
  bool fDadosCompletos = false;
  bool VerificaDadosEstabelecimento();
};

extern TFrmObtemPar_Mod *FrmObtemPar_Mod;
