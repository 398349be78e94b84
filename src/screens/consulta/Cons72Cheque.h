// Consultation code 72: the cheque's bank, branch and number as fields, the account and its
// digit in the account buffer, the person type as a letter; a CMC-7 line is cut into the
// same pieces.
#pragma once

#include "screens/consulta/ConsChequeCodigo.h"

class TFrmCon_Chq72 : public TFrmCon_ChqCodigo {
public:
  explicit TFrmCon_Chq72(TComponent *AOwner);

protected:
  bool GravaCamposCodigo() override;
};

extern TFrmCon_Chq72 *FrmCon_Chq72;
