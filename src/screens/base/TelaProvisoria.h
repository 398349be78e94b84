// Stand-in for an operation screen that the module does not have yet. It carries the form
// name of the screen it stands for (so the audit trail and the transcript name that screen),
// says on screen that the operation is not available, and closes with result 2 when the
// operator cancels it ("&9 - Cancela" or Escape).
#pragma once

#include <string>

#include "screens/base/ModeloCheque.h"

class TFrmProvisoria : public TFrmMod {
public:
  TFrmProvisoria(TComponent *AOwner, const std::string &nomeForm);

  TPanel *pnCaptura = nullptr;
  TLabel *lbAviso = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btRetorna = nullptr;

protected:
  void FormShow(TObject *Sender) override;

private:
  void btRetornaClick(TObject *Sender);
  void FormKeyDown(TObject *Sender, Word &Key, TShiftState Shift);
  void FormKeyPress(TObject *Sender, char &Key);
};

// Creates the stand-in of the screen named `nomeForm` (its OnCreate has run).
TFrmProvisoria *CriaTelaProvisoria(const std::string &nomeForm);

// Opener (TAbreTela) of a stand-in: runs it with CriaExecutaForm.
bool AbreTelaProvisoria(TForm *chamador, const char *nomeForm);
