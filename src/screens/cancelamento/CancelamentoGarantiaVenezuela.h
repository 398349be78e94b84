// The Venezuelan guarantee cancellation as it is opened: the network menu's option with code
// 70, function 7 and network 96, and the administrative entry point, operation 1. It gives
// the screen its title and its request.
#pragma once

#include "screens/cancelamento/CancelamentoTrnGarantiaVenezuela.h"

class TFrmGarVenez_Cnc : public TFrmCnc_Trn {
public:
  explicit TFrmGarVenez_Cnc(TComponent *AOwner);
  void IniciaCamposForm() override;
};

extern TFrmGarVenez_Cnc *FrmGarVenez_Cnc;
