#include "screens/coleta/CapturaPerguntas.h"

#include <cstring>

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"

namespace {

// Lets the form's key preview act on Enter; cleared by a confirm.
bool bControlaKeyPreview = false;

std::string TextoPergunta(const TPergunta &p) {
  return std::string(p.Texto, strnlen(p.Texto, sizeof p.Texto));
}

} // namespace

TFrmCap_Perg::TFrmCap_Perg(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmCap_Perg";
  SetCaption("FrmCap_Perg");
  KeyPreview = true;

  pnCaptura = CriaPainelCaptura("pnCaptura", 24, 96, 580, 226, 1);
  for (int i = 0; i < kSlots; ++i) {
    const std::string n = IntToStr(i + 1);
    TLabel *lb =
        CriaRotulo(pnCaptura, "lbPergunta" + n, 16, 10 + 21 * i, 250, 15, "Pergunta" + n + ":");
    lb->SetVisible(false);
    TEdit *ed = CriaEdit<TEdit>(pnCaptura, "edPergunta" + n, 280, 6 + 21 * i, 280, 20, i, 12);
    ed->SetVisible(false);
    ed->OnEnter = [this, i](TObject *) { edPerguntaEnter(i + 1); };
    lbPergunta[i] = lb;
    edPergunta[i] = ed;
  }
  std::tie(pnBotoes, btConfirma, btRetorna) = CriaBotoesConfirmaCancela();

  OnKeyPress = [this](TObject *s, char &k) { FormKeyPress(s, k); };
  LigaBotao(btConfirma, &TFrmCap_Perg::btConfirmaClick, &TFrmCap_Perg::btConfirmaEnter);
  LigaBotao(btRetorna, &TFrmCap_Perg::btRetornaClick, &TFrmCap_Perg::btRetornaEnter);
}

void TFrmCap_Perg::FormCreate(TObject *Sender) {
  TFrmMod::FormCreate(Sender);
  IniciaCamposForm();
}

TLabel *TFrmCap_Perg::Rotulo(int k) const {
  return dynamic_cast<TLabel *>(FindComponent("lbPergunta" + IntToStr(k)));
}

TEdit *TFrmCap_Perg::Resposta(int k) const {
  return dynamic_cast<TEdit *>(FindComponent("edPergunta" + IntToStr(k)));
}

void TFrmCap_Perg::IniciaCamposForm() {
  btConfirma->SetCaption(Host().LeMensagens(553));
  btRetorna->SetCaption(Host().LeMensagens(554));
  int k = 1;
  for (size_t i = 0; i < Struct_Perguntas.size() && k <= kSlots; ++i) {
    const TPergunta &p = Struct_Perguntas[i];
    if (p.Tipo != '0') continue;
    TLabel *lb = Rotulo(k);
    TEdit *ed = Resposta(k);
    lb->SetCaption(TextoPergunta(p));
    lb->SetVisible(true);
    ed->SetVisible(true);
    ed->MaxLength = p.TamMaximo > 0 ? p.TamMaximo : 0;
    ed->Clear();
    ++k;
  }
}

bool TFrmCap_Perg::ValidaCamposForm() {
  const size_t respostas = RespostasPerguntas.Teclado.size();
  int k = 1;
  for (size_t i = 0; i < Struct_Perguntas.size() && k <= kSlots && size_t(k) <= respostas; ++i) {
    const TPergunta &p = Struct_Perguntas[i];
    if (p.Tipo != '0') continue;
    TEdit *ed = Resposta(k);
    if (static_cast<int>(ed->Text().size()) < p.TamMinimo) {
      Application->MessageBox(
          FormatMsg(Host().LeMensagens(1186), {TextoPergunta(p), IntToStr(p.TamMinimo)}),
          TITULO_APLICACAO, MB_OK | MB_TOPMOST);
      ed->SetFocus();
      return false;
    }
    ++k;
  }
  return true;
}

bool TFrmCap_Perg::GravaRespostasPerguntas() {
  bool gravou = false;
  for (size_t j = 0; j < RespostasPerguntas.Teclado.size() && j < size_t(kSlots); ++j) {
    TRespostaTeclado &r = RespostasPerguntas.Teclado[j];
    std::memset(r.Texto, 0, sizeof r.Texto);
    // An entry holds 23 characters and its terminator: a longer answer is cut.
    StrLCopy(r.Texto, sizeof r.Texto, Resposta(int(j) + 1)->Text());
    gravou = true;
  }
  return gravou;
}

void TFrmCap_Perg::FormShow(TObject *Sender) {
  TFrmMod::FormShow(Sender);
  bControlaKeyPreview = true;
}

void TFrmCap_Perg::FormKeyPress(TObject *, char &Key) {
  if (bControlaKeyPreview) {
    // The host's filter works on the key itself: what it changes or drops is what the
    // controls get.
    if (Host().ValKeyBoard(Key) == VK_RETURN && !dynamic_cast<TButtonControl *>(ActiveControl())) {
      SelectNext(ActiveControl(), true);
      Key = 0;
    }
  }
  bControlaKeyPreview = true;
}

void TFrmCap_Perg::edPerguntaEnter(int slot) {
  std::string rotulo = Rotulo(slot)->Caption();
  if (!rotulo.empty()) rotulo.pop_back();
  lbMensagem->SetCaption(FormatMsg(Host().LeMensagens(1168), {rotulo}));
}

void TFrmCap_Perg::btConfirmaClick(TObject *) {
  bControlaKeyPreview = false;
  if (ValidaCamposForm() && GravaRespostasPerguntas()) ModalResult = mrOk;
}

void TFrmCap_Perg::btRetornaClick(TObject *) {
  ModalResult = mrCancel;
}

void TFrmCap_Perg::btConfirmaEnter(TObject *) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(46));
}

void TFrmCap_Perg::btRetornaEnter(TObject *) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(48));
}
