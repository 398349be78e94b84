// The base transaction screen: every screen that sends a transaction derives
// from it and shares its confirm cycle (validate, password, request fields,
// authorise, then the network's questions, the Venezuelan refusal receipt and
// the display of the answer). By itself it captures one amount.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/Host.h"
#include "screens/base/ModeloCheque.h"

// When true, the form's key preview moves the focus on Enter. Cleared at the
// start of each confirm so that the key that confirmed is not acted on again.
extern bool bControlaKeyPreview;
// When true, the confirm cycle asks for the customer's password on the PIN pad.
// Cleared each time a transaction screen is shown, before its IniciaCamposForm
// runs.
extern bool captura_senha;

class TFrmTrn_Mod : public TFrmMod {
public:
  explicit TFrmTrn_Mod(TComponent *AOwner);

  // Virtual operations, in slot order.
  virtual bool ValidaCamposForm();
  virtual bool VerificaCapturaSenha();
  virtual bool GravaCamposVelkor();
  virtual void VerificaAutorizaTransacao();
  virtual void IniciaCamposForm();

  // Question helpers of the confirm cycle.
  bool VerificaCamposCapturadosPerguntas();
  bool VerificaCapturaPerguntasPinpad();
  bool CapturaCartao();
  void GravaDadosPerguntasTecladoPinPad();
  // Person type of field 1006: mode 0 turns "1"/"2" into "J"/"F", mode 1 the
  // other way.
  static void ConverterTipodePessoa(int modo);

  // The confirm cycle (handler of btConfirma). Screens that replace the handler
  // call it.
  virtual void btConfirmaClick(TObject *Sender);

  TPanel *pnCaptura = nullptr;
  TLabel *lbValor = nullptr;
  TEdit *edValor = nullptr;
  TPanel *pnProcessamento = nullptr;
  TLabel *lbAlerta = nullptr;
  TPanel *pnBotoes = nullptr;
  TBitBtn *btConfirma = nullptr;
  TBitBtn *btRetorna = nullptr;

  // The request of the transaction; each derived screen sets it in its
  // IniciaCamposForm.
  const TRequestLayout *LayoutRequisicao = nullptr;

protected:
  void FormShow(TObject *Sender) override;
  void FormKeyPress(TObject *Sender, char &Key);
  void edValorKeyPress(TObject *Sender, char &Key);
  void edValorEnter(TObject *Sender);
  void btConfirmaEnter(TObject *Sender);
  void btRetornaEnter(TObject *Sender);
  void btRetornaClick(TObject *Sender);

  // Shows operator message `id` in a message box (caption TITULO_APLICACAO,
  // exclamation).
  void MostraMensagem(int id);
  void MostraStatus(const std::string &texto); // lbMensagem, then pending messages

private:
  void MostraResultado();
};

// Cuts a Telecheque service-X record (field 20033 as read: kind byte and body)
// into the items of field 1188, index by index. Empty for a kind other than "1"
// or "2".
std::vector<std::string> CortaRegistroTelecheque(const std::string &registro);
// Writes the items of the Telecheque record of field 20033 into field 1188.
void TrataServicoXTelecheque();

// Builds the questions-and-answers text into `destino` (capacity bytes,
// terminator included): "PERG:" prefix+text "," answer "," type ";" per
// question. An entry that does not fit whole ends the text. Returns the number
// of questions written.
size_t MontaTextoPerguntas(char *destino, size_t capacidade,
                           const std::vector<TPergunta> &perguntas,
                           const TRespostasPerguntas &respostas);
