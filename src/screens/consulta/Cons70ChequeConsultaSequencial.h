// Sequential cheque consultation with code 70: the plain consultation under its own title.
#pragma once

#include "screens/consulta/Cons70Cheque.h"

class TFrmCon_ConSeq : public TFrmCon_Chq70 {
public:
  explicit TFrmCon_ConSeq(TComponent *AOwner);
  void IniciaCamposForm() override;
};

extern TFrmCon_ConSeq *FrmCon_ConSeq;
