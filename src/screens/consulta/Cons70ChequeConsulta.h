// Plain cheque consultation with code 70.
#pragma once

#include "screens/consulta/Cons70Cheque.h"

class TFrmCon_Con : public TFrmCon_Chq70 {
public:
  explicit TFrmCon_Con(TComponent *AOwner);
  void IniciaCamposForm() override;
};

extern TFrmCon_Con *FrmCon_Con;
