// What the two guarantee cancellations (the ordinary one and the Venezuelan one) have in
// common: the document number and transaction date, the cheque given as a CMC-7 line or as
// typed bank data in two panels on the same place, the form-level Enter handling, the hints
// and digit filters, the choice of the cheque panel when the operator leaves the last field
// before it, the checks of the date and of the cheque, the request fields both write and
// their own confirm cycle (validate, write, authorise, save the store, close).
//
// Each screen keeps its own unit variables (the key-preview switch, the entry type and the
// cheque data its request sends) and tells this class where they are.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "host/Host.h"
#include "screens/base/ModeloCheque.h"

class TFrmCancelamento_Mod : public TFrmMod {
public:
  struct TVariaveisUnidade {
    bool *bControlaKeyPreview;
    char (*TipoEntradaCheque)[2];
    char (*DadosCheque)[41];
  };
  // `comCompensacao`: the screen captures the compensation code and the branch, and the
  // document number is its first field (the ordinary cancellation).
  TFrmCancelamento_Mod(TComponent *AOwner, const TVariaveisUnidade &unidade, bool comCompensacao);

  // Virtual operations, in slot order.
  virtual bool ValidaCamposForm();
  virtual bool GravaCamposVelkor() = 0;
  virtual void IniciaCamposForm();
  virtual void VerificaAutorizaTransacao();

  // The text with "0" put in front up to `largura` characters.
  static std::string PreencherZerosEsquerda(const std::string &texto, size_t largura);

  TPanel *pnCaptura = nullptr;
  TLabel *lbNumDocumento = nullptr;
  TEdit *edNumDocumento = nullptr;
  TLabel *lbDtTransacao = nullptr;
  TMaskEdit *edDataTransacao = nullptr;
  TPanel *pnEdit = nullptr;
  TPanel *pnDadosCheque = nullptr;
  TLabel *lbCompensacao = nullptr; // only with the compensation code
  TEdit *edCompensacao = nullptr;
  TLabel *lbBanco = nullptr;
  TEdit *edBanco = nullptr;
  TLabel *lbAgencia = nullptr;
  TEdit *edAgencia = nullptr;
  TLabel *lbConta = nullptr;
  TEdit *edConta = nullptr;
  TLabel *lbDigito = nullptr;
  TEdit *edDigito = nullptr;
  TLabel *lbCheque = nullptr;
  TEdit *edCheque = nullptr;
  TLabel *Label1 = nullptr; // "C3:"
  TEdit *edC3 = nullptr;
  TPanel *pnCMC7 = nullptr;
  TLabel *lbCMC7 = nullptr;
  TEdit *edCMC7 = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btConfirma = nullptr;
  TBitBtn *btRetorna = nullptr;

  const TRequestLayout *LayoutRequisicao = nullptr;

protected:
  struct TTexto {
    TControl *controle;
    int mensagem;
  };
  struct TVerificacao {
    bool falhou;
    int mensagem;
    TWinControl *controle;
    bool limpa;
    bool icone = true;
  };

  void FormShow(TObject *Sender) override;
  void FormKeyPress(TObject *Sender, char &Key);
  void btConfirmaClick(TObject *Sender);
  void btRetornaClick(TObject *Sender);

  // What differs between the screens, filled by their constructors.
  struct TDiferencas {
    std::vector<TTexto> textos;       // captions from the message table
    std::vector<TCustomEdit *> edits; // cleared on initialisation
    int campoChequeDigitado = 0;      // its presence makes the screen take the host's cheque
    std::vector<std::pair<TCustomEdit *, int>> chequeDoHost; // typed-cheque edits and fields
    bool redeVenezuelana = false;                            // network 96
  } fDiferencas;

  // The section of Cheque.ini that configures the screen: the network menu's option or, when
  // an entry point opened the screen, the first enabled code-70 cancellation of the screen's
  // network ("" when there is none: every key takes its default).
  std::string SecaoConfiguracao() const;
  // Maximum lengths of the cheque edits from the section.
  void ConfiguraTamanhos();
  virtual void Configura() = 0;
  // Runs after the panels are set, before the document, date and cheque are taken.
  virtual void IniciaCamposProprios() {}

  // Shows the hint `mensagem` whenever `c` gets the focus.
  void Dica(TWinControl *c, int mensagem);
  // Backspace, Enter and the digits only.
  void FiltraDigitos(TObject *Sender, char &Key);
  // After the last field: the CMC-7 panel or the typed-cheque panel, by the menu's entry mode.
  void EscolhePainelCheque();
  void FocaPainelCheque(int modo);
  void MostraPainel(bool cmc7);

  // The first check that failed: its message, the capture panel and the control enabled, the
  // control cleared when asked and focused. True when none failed.
  bool Verifica(std::initializer_list<TVerificacao> verificacoes);
  bool VerificaDocumentoEData();
  bool VerificaCheque();

  // Writes fields at index 0; false at the first write the store refuses.
  static bool Grava(std::initializer_list<std::pair<int, std::string>> campos);
  // 10112, 10102, 10158, 1061, 1013 and 1020.
  bool GravaCabecalho(const std::string &rede, const std::string &reservado);
  // The cheque data of the request (1005 too for a CMC-7 line).
  bool GravaDadosCheque();

  TVariaveisUnidade fUnidade;
};

// The entry mode of the network menu: 0 neither way configured (also without a menu), 1 typed
// bank data, 2 CMC-7 line.
int ModoEntradaMenu();
