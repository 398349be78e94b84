// Consultation code 74: the cheque's bank, branch and number as fields and the person type as
// a letter; a CMC-7 line is cut into the same pieces.
#pragma once

#include "screens/consulta/ConsChequeCodigo.h"

class TFrmCon_Chq74 : public TFrmCon_ChqCodigo {
public:
  explicit TFrmCon_Chq74(TComponent *AOwner);

protected:
  bool GravaCamposCodigo() override;
};

extern TFrmCon_Chq74 *FrmCon_Chq74;
