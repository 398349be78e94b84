// Consultation code 78: the consultation type, the typed cheque's bank, branch and number and
// its account; a cheque read by CMC-7 goes whole in the cheque-data buffer instead.
#pragma once

#include "screens/consulta/ConsChequeCodigo.h"

class TFrmCon_Chq78 : public TFrmCon_ChqCodigo {
public:
  explicit TFrmCon_Chq78(TComponent *AOwner);

protected:
  bool GravaCamposCodigo() override;
};

extern TFrmCon_Chq78 *FrmCon_Chq78;
