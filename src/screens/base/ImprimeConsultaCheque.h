// The result screen: the network's answer in a read-only memo, with print and
// return. The operator's choice travels back to the calling screen through
// ImprimeCupom.
#pragma once

#include <string>
#include <vector>

#include "screens/base/ModeloCheque.h"

class TFrmImprime_Mod : public TFrmMod {
public:
  explicit TFrmImprime_Mod(TComponent *AOwner);

  TMemo *MemoConsulta = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btImprime = nullptr;
  TBitBtn *btRetorna = nullptr;

  // Field 20033 as read for the display.
  std::string Registro;

protected:
  void FormShow(TObject *Sender) override;
  void btImprimeClick(TObject *Sender);
  void btRetornaClick(TObject *Sender);
  void btImprimeEnter(TObject *Sender);
  void btRetornaEnter(TObject *Sender);

private:
  void MostraCupomRede21();
  void MostraRegistro();
};

// The lines of an "@"-separated answer record: the first character (the
// record's kind) is skipped, each "@" ends a line (shown followed by one
// blank), and what follows the last "@" is not shown.
std::vector<std::string> LinhasRegistroArroba(const std::string &registro);
