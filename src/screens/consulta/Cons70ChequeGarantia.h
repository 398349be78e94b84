// Cheque guarantee with code 70: the customer's password is asked on the PIN pad, the request
// carries the guarantee key (bank, branch and account, or the start of the CMC-7 line) and,
// when the section asks for it, the destination network is looked up before authorising.
#pragma once

#include <string>

#include "screens/consulta/Cons70Cheque.h"

class TFrmCon_Gar : public TFrmCon_Chq70 {
public:
  explicit TFrmCon_Gar(TComponent *AOwner);

  void IniciaCamposForm() override;
  bool GravaCamposVelkor() override;
  void btConfirmaClick(TObject *Sender) override;

  // Looks up the destination network of the guarantee; true when it was found.
  bool AutorizaGarantia();
};

extern TFrmCon_Gar *FrmCon_Gar;

// The guarantee key (at most 18 characters): the first 18 characters of the CMC-7 line when
// there is one, else bank, branch and account each padded with zeros on the left to its
// configured length.
std::string ChaveGarantia(const std::string &cmc7, const std::string &banco,
                          const std::string &agencia, const std::string &conta, int tmBanco,
                          int tmAgencia, int tmConta);
