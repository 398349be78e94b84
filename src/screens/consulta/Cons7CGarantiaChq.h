// Cheque guarantee with code 7C: the consultation screen with the guarantee's request, the
// issuer's person type sent through its own buffer, and the answer to the demonstration of
// terms (1 or 0) when the section asks for it.
#pragma once

#include "screens/consulta/ConsultaChequeTrnCheque.h"

class TFrmGarChq_7C : public TFrmChq_Trn {
public:
  explicit TFrmGarChq_7C(TComponent *AOwner);

  bool ValidaCamposForm() override;
  bool GravaCamposVelkor() override;
  void IniciaCamposForm() override;

  TLabel *lbDemoPrazos = nullptr;
  TEdit *edDemoPrazos = nullptr;

  void edDemoPrazosEnter(TObject *Sender);
  void edDemoPrazosKeyPress(TObject *Sender, char &Key);
};

extern TFrmGarChq_7C *FrmGarChq_7C;
