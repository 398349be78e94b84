#include "screens/cancelamento/CancelamentoMultiplasAutorizacoes.h"

#include <algorithm>

#include "host/Host.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

TFrmCncMultiAut *FrmCncMultiAut = nullptr;

TFrmCncMultiAut::TFrmCncMultiAut(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmCncMultiAut";
  SetCaption("FrmCncMultiAut");

  pnCaptura = CriaPainelCaptura("pnCaptura", 24, 90, 580, 280, 1);
  lbDescricaoChq1 = CriaRotulo(pnCaptura, "lbDescricaoChq1", 40, 8, 160, 16,
                               CP1252("N.             Núm. Autorização"));
  sg_dadoschq_1 = NewControl<TStringGrid>(this, pnCaptura, "sg_dadoschq_1", 40, 26, 170, 212);
  sg_dadoschq_1->TabOrder = 0;
  sg_dadoschq_1->SetColCount(2);
  sg_dadoschq_1->FixedRows = 0;
  sg_dadoschq_1->SetRowCount(13);
  sg_dadoschq_1->DefaultRowHeight = 16;
  sg_dadoschq_1->Options =
      goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goEditing | goTabs;
  sg_dadoschq_1->ScrollBars = true;

  std::tie(pnBotoes, btConfirma, btRetorna) = CriaBotoesConfirmaCancela(372);
  btConfirma->SetVisible(false);
  btRetorna->SetVisible(false);

  sg_dadoschq_1->OnEnter = [this](TObject *s) { sg_dadoschq_1Enter(s); };
  sg_dadoschq_1->OnKeyPress = [this](TObject *s, char &k) { sg_dadoschq_1KeyPress(s, k); };
  sg_dadoschq_1->OnGetEditMask = [](TObject *, int ACol, int, std::string &Value) {
    Value = ACol == COLUNA_AUTORIZACAO ? "000000000000000000;1;_" : "";
  };
  btConfirma->OnClick = [this](TObject *s) { btConfirmaClick(s); };
  btRetorna->OnClick = [this](TObject *) { ModalResult = mrCancel; };
  for (const auto &[botao, id] : {std::pair{btConfirma, 46}, std::pair{btRetorna, 48}})
    botao->OnEnter = [this, mensagem = id](TObject *) {
      lbMensagem->SetVisible(true);
      lbMensagem->SetCaption(Host().LeMensagens(mensagem));
    };
}

// One row per cheque, numbered from 1; never more than a cancellation can carry.
void TFrmCncMultiAut::FormCreate(TObject *Sender) {
  TFrmMod::FormCreate(Sender);
  btConfirma->SetVisible(true);
  btRetorna->SetVisible(true);
  sg_dadoschq_1->ColWidths = {28, 118};
  const int n = StrToIntDef(Host().LeCampo(10101, 0), 0);
  sg_dadoschq_1->SetRowCount(std::clamp(n, 1, MAX_AUTORIZACOES));
  for (int i = 0; i < sg_dadoschq_1->RowCount(); ++i) sg_dadoschq_1->SetCell(0, i, IntToStr(i + 1));
}

void TFrmCncMultiAut::sg_dadoschq_1Enter(TObject *) {
  sg_dadoschq_1->FocusCell(COLUNA_AUTORIZACAO, 0);
  lbMensagem->SetCaption(Host().LeMensagens(1729));
  lbTitulo->SetCaption(Host().LeMensagens(465));
}

bool TFrmCncMultiAut::VerificaLista(TStringGrid *grade, int linha) {
  if (!Trim(grade->Cell(COLUNA_AUTORIZACAO, linha)).empty()) return true;
  Application->MessageBox(FormatMsg(CP1252("A linha dos dados do Cheque %s não foi preenchida."),
                                    {IntToStr(linha + 1)}),
                          "Erro", MB_OK | MB_ICONHAND | MB_TOPMOST);
  if (grade->CanFocus()) grade->SetFocus();
  grade->FocusCell(COLUNA_AUTORIZACAO, linha);
  return false;
}

// The grid has already moved to the next cell on Tab: only the character is dropped.
void TFrmCncMultiAut::sg_dadoschq_1KeyPress(TObject *, char &Key) {
  if (Key == VK_TAB) {
    Key = 0;
    return;
  }
  if (Key != VK_RETURN) return;
  Key = 0;
  const int linha = sg_dadoschq_1->Row();
  if (!VerificaLista(sg_dadoschq_1, linha)) return;
  if (linha + 1 < sg_dadoschq_1->RowCount())
    sg_dadoschq_1->FocusCell(COLUNA_AUTORIZACAO, linha + 1);
  else
    SelectNext(sg_dadoschq_1, true);
}

void TFrmCncMultiAut::btConfirmaClick(TObject *) {
  const int linhas = sg_dadoschq_1->RowCount();
  for (int i = 0; i < linhas; ++i)
    if (!VerificaLista(sg_dadoschq_1, i)) return;
  for (int i = 0; i < linhas; ++i) {
    const std::string numero = Trim(sg_dadoschq_1->Cell(COLUNA_AUTORIZACAO, i));
    if (!numero.empty()) Host().GravaCampoString(10163, i, numero);
  }
  ModalResult = mrOk;
}
