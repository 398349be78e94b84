// The cheque consultation screen shared by every consultation code: which items it offers,
// which it requires and how long each may be come from the chosen option's section of
// Cheque.ini and Cliente.ini; it pre-fills and locks what the point of sale already holds,
// filters keys, checks the entries in a fixed order, writes the request fields and the tagged
// buffers that the code screens send, and opens the several-cheques grids. The code screens
// derive from it and add their request layout.
#pragma once

#include <cstdint>
#include <string>

#include "screens/base/TrnModeloCheque.h"

// Settings of the consultation being shown (module-wide, overwritten by the next screen). The
// code screens read them directly.
namespace ConsultaChequeTrnCheque {

extern int32_t CodigoTrn;        // "CodigoTrn", 70
extern std::string sTipoFuncao;  // "TipoFuncao", "1"
extern std::string TipoConsulta; // "TipoConsulta", "1"
extern int32_t ConsultarBin;     // "ConsultarBin", 0
extern std::string sReservado;   // "Reservado", the network code when absent

// Item options: 0 offered (and required where checked), 1 not used, 2 the shop decides in
// Cliente.ini.
extern int32_t opData, opCmc7, opCompensacao, opBanco, opAgencia, opConta, opDigito, opCheque,
    opTipoDoc, opFacilit, opEmitente, opRG, opAbertura, opTelefone, opNascto, opCodArea,
    opDemoPrazos;
// Item lengths.
extern int32_t tmCompensacao, tmBanco, tmAgencia, tmConta, tmDigito, tmCheque, tmEmitente, tmRG,
    tmTelefone, tmddd, tmFacilit;

// Texts of Cliente.ini sent as tagged items.
extern std::string RetornaDetalhesSCPC, TipoServico, Historico, ConfigExtra, DadosCliente;

// Upper bound of the quantity of cheques typed on the screen.
constexpr int MAX_QTD_CHEQUES = 25;

// The key filter of a quantity-of-cheques edit: digits and backspace pass (0 returned); on Enter,
// the quantity typed (1 to MAX_QTD_CHEQUES), or 0 after the "invalid quantity" box, with the edit
// back to "1", focused, and the key swallowed.
int QuantidadeDigitada(TEdit *edQtdChq, char &Key);
// The longest an item's configured length (tm...) may be: longer ones fall back to the
// default.
constexpr int32_t TAMANHO_MAXIMO_ITEM = 255;

} // namespace ConsultaChequeTrnCheque

// The cheque typed field by field, as the operator left the edits.
struct TChequeDigitado {
  std::string Compensacao, Banco, Agencia, C1, Conta, Digito, C2, Cheque, C3;
};

class TFrmChq_Trn : public TFrmTrn_Mod {
public:
  explicit TFrmChq_Trn(TComponent *AOwner);

  bool ValidaCamposForm() override;
  bool GravaCamposVelkor() override;
  void IniciaCamposForm() override;

  // Reads the option's section of Cheque.ini and Cliente.ini and applies it to the controls.
  void Configura_Consulta();

  TEdit *edQtdChq = nullptr;
  TLabel *lbQtdChq = nullptr;
  TMaskEdit *edData = nullptr;
  TLabel *lbData = nullptr;

  TPanel *pnDadosCheque = nullptr;
  TEdit *edCompensacao = nullptr;
  TLabel *lbCompensacao = nullptr;
  TEdit *edBanco = nullptr;
  TLabel *lbBanco = nullptr;
  TEdit *edAgencia = nullptr;
  TLabel *lbAgencia = nullptr;
  TEdit *edC1 = nullptr;
  TLabel *lbC1 = nullptr;
  TEdit *edConta = nullptr;
  TLabel *lbConta = nullptr;
  TEdit *edDigito = nullptr;
  TLabel *lbDigito = nullptr;
  TEdit *edC2 = nullptr;
  TLabel *lbC2 = nullptr;
  TEdit *edCheque = nullptr;
  TLabel *lbCheque = nullptr;
  TEdit *edC3 = nullptr;
  TLabel *lbC3 = nullptr;

  TPanel *pnCMC7 = nullptr;
  TEdit *edCMC7 = nullptr;
  TLabel *lbCMC7 = nullptr;

  TEdit *edTipoDoc = nullptr;
  TLabel *lbTipoDoc = nullptr;
  TMaskEdit *edCPFCGC = nullptr;
  TLabel *lbCPFCGC = nullptr;
  TEdit *edCodArea = nullptr;
  TLabel *lbCodArea = nullptr;
  TEdit *edEmitente = nullptr;
  TLabel *lbEmitente = nullptr;
  TMaskEdit *edAberturaCC = nullptr;
  TLabel *lbAberturaCC = nullptr;
  TEdit *edRG = nullptr;
  TLabel *lbRG = nullptr;
  TEdit *edFacilitador = nullptr;
  TLabel *lbCodFacilitador = nullptr;
  TMaskEdit *edDtNascimento = nullptr;
  TLabel *lbDtNascimento = nullptr;
  TEdit *edDDD = nullptr;
  TLabel *lbDDD = nullptr;
  TEdit *edTelefone = nullptr;
  TLabel *lbTelefone = nullptr;

  // Document masks of edCPFCGC: the punctuation is shown but is not part of the text.
  static constexpr const char *MASCARA_CPF = "999\\.999\\.999\\-99;0;_";
  static constexpr const char *MASCARA_CNPJ = "99\\.999\\.999\\/9999\\-99;0;_";

  // Quantity of cheques.
  void edQtdChqEnter(TObject *Sender);
  void edQtdChqKeyPress(TObject *Sender, char &Key);
  void edQtdChqExit(TObject *Sender);

protected:
  // How the cheque is identified, as the network menu settled it: 1 typed, 2 CMC-7 line.
  static int ModoEntrada();
  // The transaction code of the option chosen on the network menu (240 for F0).
  static int CodigoTransacaoMenu();

  // Key filters.
  void FiltraDigitos(TObject *Sender, char &Key);
  void FiltraTipoDoc(TObject *Sender, char &Key);
  void FiltraFacilitador(TObject *Sender, char &Key);

  // The texts of the typed cheque's edits.
  TChequeDigitado ChequeDigitado() const;

  // The configuration section, copied from the network menu.
  const std::string &Secao() const { return fSecao; }

  void MostraDica(int mensagem);
  void MostraDicaTexto(const std::string &texto);
  // Shows the message (exclamation box, on top) and returns false.
  bool Falha(int mensagem);
  // Falha, then enables the control, clears it when asked, and moves the focus there.
  bool FalhaEm(int mensagem, TWinControl *controle, bool habilita, bool limpa);

private:
  std::string fSecao; // the configuration section, copied from the network menu

  void PreencheDoCampo(TCustomEdit *controle, int campo);
  void AplicaMascaraDocumento(bool cpf);
  // Enables the controls and moves the focus there (after clearing them when asked).
  void Corrige(TWinControl *controle, bool habilita, bool limpa);
  void FocaPrimeiroControle();
  void HabilitaChequeUnico(bool c3);
  void AbreGradeCheques(char &Key);
};

// ---- What the consultation writes, as plain functions (used by the screen and its tests) ----

// Puts `tag` and as much of `valor` as fits into a module buffer (terminator included).
void GravaBufferEtiquetado(char *buffer, size_t capacidade, const char *tag,
                           const std::string &valor);
