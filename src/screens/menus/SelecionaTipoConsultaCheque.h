// Lets the operator pick the consultation type (a two-character code the host sends in field
// 1043) before the cheque screen opens. The types come from the "opMenu" list of the chosen
// option ("code;key;description;" per entry); ClienteTrn.ini switches each key on (1) or off.
#pragma once

#include <string>

#include "screens/base/ModeloCheque.h"

class TFrmTipoConsulta_Mod : public TFrmMod {
public:
  static constexpr int MAX_TIPOS = 100; // entries of the type tables

  explicit TFrmTipoConsulta_Mod(TComponent *AOwner);

  TPanel *pnCaptura = nullptr;
  TLabel *lbTipoConsulta = nullptr;
  TComboBox *cbTipoConsulta = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btConfirma = nullptr;
  TBitBtn *btRetorna = nullptr;
  TTimer *TErro = nullptr;

  void IniciaCamposForm();
  bool ValidaCamposForm();
  bool Grava_Tipo_Consulta();

protected:
  void FormShow(TObject *Sender) override;

private:
  void FormKeyPress(TObject *Sender, char &Key);
  void cbTipoConsultaEnter(TObject *Sender);
  void cbTipoConsultaKeyPress(TObject *Sender, char &Key);
  void btConfirmaClick(TObject *Sender);
  void btConfirmaEnter(TObject *Sender);
  void btRetornaClick(TObject *Sender);
  void btRetornaEnter(TObject *Sender);
  void TErroTimer(TObject *Sender);
  void MostraDica(int mensagem);
};

// ---- Unit variables ----------------------------------------------------------------------

// Code, key and description of each consultation type, in the order of the list.
extern std::string aCodigoConsulta[TFrmTipoConsulta_Mod::MAX_TIPOS];
extern std::string aChaveConsulta[TFrmTipoConsulta_Mod::MAX_TIPOS];
extern std::string aDescricaoConsulta[TFrmTipoConsulta_Mod::MAX_TIPOS];
extern std::string TipoConsulta; // the part of the list still to be parsed
extern std::string Frase;        // the characters the current parsing step consumed
extern std::string Produto;      // the raw key text of the last entry parsed

// Parses one entry of `texto`: its first `quantidade` sub-fields, each ended by `separador`,
// go to entry `indice` of the tables (code, key, description); within a sub-field, any text
// up to its last ':' is dropped. The characters consumed are left in Frase. Returns the raw
// text of the second sub-field, or, when the text ends before the entry does, the text after
// the last separator found. An index outside the tables stores nothing.
std::string splitstr(const std::string &texto, char separador, int quantidade, int indice);

// Empties the three tables.
void LimpaArray();
