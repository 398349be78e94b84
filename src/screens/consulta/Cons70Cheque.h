// Consultation code 70: the cheque consultation screen with the code-70 request. It adds the
// cheque data that only code 70 sends (the cheque as one composite value per cheque, how it was
// entered, the number of cheques) and is the base of the plain, sequential and guarantee
// screens of code 70.
#pragma once

#include <string>

#include "screens/consulta/ConsultaChequeTrnCheque.h"

class TFrmCon_Chq70 : public TFrmChq_Trn {
public:
  explicit TFrmCon_Chq70(TComponent *AOwner);

  void IniciaCamposForm() override;
  bool GravaCamposVelkor() override;
};

// The cheque data of one typed cheque (field 10167), in the form that the manual entry type
// selects: "2" (also empty or not a number) and any other value joined by the byte 0x04, "3"
// by ";". C1 and C2 go in only when their flags are set, and only where the form has room.
std::string DadosChequeUnico(const TChequeDigitado &c, const std::string &tipoEntChqManual,
                             bool usaC1, bool usaC2);
// The cheque data of cheque i of several: the account's data with the cheque number `numero`
// and the check digit `c3` of that cheque (its first character is used). Codes 7C and F0 send
// the same text for their one cheque (DadosChequeCodigos7CF0).
std::string DadosChequeMultiplo(const TChequeDigitado &c, const std::string &tipoEntChqManual,
                                bool usaC1, bool usaC2, const std::string &numero,
                                const std::string &c3);
// The manual entry type as a number: 2 when it is not one.
int TipoEntradaManual(const std::string &tipoEntChqManual);
