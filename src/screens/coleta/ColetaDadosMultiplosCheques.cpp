#include "screens/coleta/ColetaDadosMultiplosCheques.h"

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"

TFrmMult_Chq *FrmMult_Chq = nullptr;

static TEsqueceForm<TFrmMult_Chq, FrmMult_Chq> registro;

TFrmMult_Chq::TFrmMult_Chq(TComponent *AOwner) : TFrmMult_Mod(AOwner) {
  Name = "FrmMult_Chq";
  SetCaption("FrmMult_Chq");
  PrimeiraColunaEditavel = 0;
  const char *cabecalho = "N. Cheque   C3           Valor          Data Chq";
  lbDescricaoChq1->SetCaption(cabecalho);
  CriaNumeros(pnCaptura, 1, sg_dadoschq_1->Top,
              {&lb1, &lb2, &lb3, &lb4, &lb5, &lb6, &lb7, &lb8, &lb9, &lb10, &lb11, &lb12, &lb13});

  // The second grid sits beside the first, in its own panel.
  pnDadosChq2 = CriaPainel(pnCaptura, "pnDadosChq2", 290, 4, 284, 250, 1);
  lbDescricaoChq2 = CriaRotulo(pnDadosChq2, "lbDescricaoChq2", 40, 4, 240, 16, cabecalho);
  sg_dadoschq_2 = CriaGrade(pnDadosChq2, "sg_dadoschq_2", 40, 22);
  CriaNumeros(
      pnDadosChq2, 14, sg_dadoschq_2->Top,
      {&lb14, &lb15, &lb16, &lb17, &lb18, &lb19, &lb20, &lb21, &lb22, &lb23, &lb24, &lb25, &lb26});

  sg_dadoschq_2->OnEnter = [this](TObject *) { GradeEnter(sg_dadoschq_2); };
  sg_dadoschq_2->OnKeyPress = [this](TObject *, char &Key) { GradeKeyPress(sg_dadoschq_2, Key); };
}

void TFrmMult_Chq::CriaNumeros(TWinControl *pai, int primeiro, int top,
                               std::initializer_list<TLabel **> rotulos) {
  int i = 0;
  for (TLabel **rotulo : rotulos) {
    const std::string n = IntToStr(primeiro + i);
    *rotulo = CriaRotulo(pai, "lb" + n, 12, top + 2 + 16 * i, 24, 13, n);
    (*rotulo)->Alignment = taRightJustify;
    ++i;
  }
}

void TFrmMult_Chq::FormCreate(TObject *Sender) {
  TFrmMult_Mod::FormCreate(Sender);
  lbDescricaoChq1->SetCaption(Host().LeMensagens(1167));
  lbDescricaoChq2->SetCaption(Host().LeMensagens(1167));
  for (TStringGrid *g : {sg_dadoschq_1, sg_dadoschq_2}) {
    g->ColWidths[1] = 32;
    g->ColWidths[2] = 96;
  }
  // Outside 1 to 26 both grids keep their 13 rows: at most 26 cheques are collected.
  const int n = LeQuantidadeCheques();
  if (n >= 1 && n <= LINHAS_POR_GRADE) {
    sg_dadoschq_1->SetRowCount(n);
    pnDadosChq2->SetVisible(false);
  } else if (n > LINHAS_POR_GRADE && n <= MAX_CHEQUES) {
    sg_dadoschq_1->SetRowCount(LINHAS_POR_GRADE);
    pnDadosChq2->SetVisible(true);
    sg_dadoschq_2->SetRowCount(n - LINHAS_POR_GRADE);
  }
}

std::vector<TStringGrid *> TFrmMult_Chq::GradesEmUso() const {
  if (pnDadosChq2->Visible()) return {sg_dadoschq_1, sg_dadoschq_2};
  return {sg_dadoschq_1};
}

std::string TFrmMult_Chq::MascaraColuna(int coluna) const {
  switch (coluna) {
  case 0:
    return "000000;1;_";
  case 1:
    return "0;1;_";
  case COLUNA_VALOR:
    return "CCCCCCCCCCCC;1;_";
  case COLUNA_DATA:
    return "00/00/0000;1;_";
  default:
    return "";
  }
}

std::vector<std::pair<int, int>> TFrmMult_Chq::CamposPorCheque() const {
  return {{10163, 0}, {10164, 1}, {10165, COLUNA_VALOR}, {10166, COLUNA_DATA}};
}

void TFrmMult_Chq::FimDaGrade(TStringGrid *grade) {
  if (grade != sg_dadoschq_2) {
    TFrmMult_Mod::FimDaGrade(grade);
    return;
  }
  btConfirma->SetEnabled(true);
  if (btConfirma->CanFocus()) btConfirma->SetFocus();
}
