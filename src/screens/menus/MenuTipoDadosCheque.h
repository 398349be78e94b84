// Asks the operator how the cheque will be entered: typing its first line (bank, branch,
// account, cheque number) or reading its CMC-7 line. The answer becomes the entry mode of
// the network menu; the tag tells the caller whether a choice was made (1) or not (0).
#pragma once

#include "screens/base/MenuModeloCheque.h"

class TFrmSelTipoDadosChq_Mnu : public TFrmMnu_Mod {
public:
  explicit TFrmSelTipoDadosChq_Mnu(TComponent *AOwner);

  void IniciaFormularioMenu() override;
  void VerificaOpcoesHabilitadas() override;

  void spOpcao1Click(TObject *Sender);
  void spOpcao2Click(TObject *Sender);

private:
  void Escolhe(int16_t tipoEntrada);
};
