// Consultation code F0: the cheque as one cheque-data text (or its CMC-7 line) in a repeated
// group, the person type as a digit, the function type and the account opening; the title
// stays the screen's own.
#pragma once

#include "screens/consulta/ConsChequeCodigo.h"

class TFrmCon_ChqF0 : public TFrmCon_ChqCodigo {
public:
  explicit TFrmCon_ChqF0(TComponent *AOwner);

protected:
  bool GravaCamposCodigo() override;
};

extern TFrmCon_ChqF0 *FrmCon_ChqF0;
