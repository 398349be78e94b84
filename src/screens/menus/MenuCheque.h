// The network and transaction menu: one option per enabled section of Cheque.ini (at most
// eight, in file order). It remembers the option chosen and its codes, settles how the cheque
// data will be entered, lets the operator pick a consultation type when the option has a list
// of them, and opens the screen of the option's consultation code and function. It stays open
// under that screen, which reads the choice through FrmRedes_Mnu.
#pragma once

#include <cstdint>
#include <string>

#include "module/ChequeMain.h"
#include "screens/base/MenuModeloCheque.h"

class TFrmRedes_Mnu : public TFrmMnu_Mod {
public:
  explicit TFrmRedes_Mnu(TComponent *AOwner);

  // The chosen option's section of Cheque.ini, Cliente.ini and ClienteTrn.ini: the caption
  // of its button from the sixth character on.
  std::string SecaoConfiguracao;
  // How the cheque data is entered: 0 neither way configured, 1 typed first line (bank,
  // branch, account, cheque number), 2 CMC-7 line.
  int16_t TipoEntrada = 0;
  // "opMenu" of the chosen section: the consultation types offered before the screen opens.
  std::string ListaTipoConsulta;

  void IniciaFormularioMenu() override;
  void VerificaOpcoesHabilitadas() override;

  void Escolhe_a_transacao();
  void VerificaHabilitaMenuCodigoConsulta();
  bool VerificaSelecionaPrimeiraLinhaCheque_CMC7();

  void spOpcao1Click(TObject *Sender);
  void spOpcao2Click(TObject *Sender);
  void spOpcao3Click(TObject *Sender);
  void spOpcao4Click(TObject *Sender);
  void SpOpcao5Click(TObject *Sender);
  void SpOpcao6Click(TObject *Sender);
  void SpOpcao7Click(TObject *Sender);
  void SpOpcao8Click(TObject *Sender);

private:
  void OpcaoEscolhida(int n);
};

// ---- Module-wide values of the menu (kept between calls) ----------------------------------

extern TFrmRedes_Mnu *FrmRedes_Mnu; // the live menu, or null
extern int32_t Transacao;           // option (1 to 8) chosen last
// Per option 1 to 8 (index 0 unused): "CodigoTrn" (consultation code in decimal: 70, 72, 74,
// 78, 124 for 7C, 240 for F0), "TipoFuncao" and "CodigoRede" of the option's section.
extern int32_t QualTransacao[9];
extern int32_t TipoFuncao[9];
extern int32_t aCodRede[9];
// The operation ended as completed: the field store is saved.
extern bool ImprimeCupom;

// ---- Which screen serves an option -----------------------------------------------------------

constexpr int QUALQUER = -1; // matches any function or network

struct TTelaMenu {
  int codigo; // "CodigoTrn"
  int funcao; // "TipoFuncao", or QUALQUER
  int rede;   // "CodigoRede", or QUALQUER
  const char *nomeForm;
  TAbreTela abre;
};

// The screen of a code, function and network; nullptr when the combination has none.
const TTelaMenu *ProcuraTelaMenu(int codigo, int funcao, int rede);
