// Consultation code 7C: the cheque as one cheque-data text (or its CMC-7 line), the person
// type as a digit, the function and output types.
#pragma once

#include "screens/consulta/ConsChequeCodigo.h"

class TFrmCon_Chq7C : public TFrmCon_ChqCodigo {
public:
  explicit TFrmCon_Chq7C(TComponent *AOwner);

protected:
  bool GravaCamposCodigo() override;
};

extern TFrmCon_Chq7C *FrmCon_Chq7C;
