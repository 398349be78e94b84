#include "screens/consulta/Cons7CGarantiaChq.h"

#include <algorithm>
#include <initializer_list>

#include "host/Host.h"
#include "platform/system/IniFiles.h"
#include "platform/text/StrUtils.h"
#include "screens/consulta/ConsChequeCodigo.h"
#include "screens/consulta/LayoutsConsulta.h"

using namespace ConsultaChequeTrnCheque;
using Cons7CGarantiaChq::acTipoPessoa;

TFrmGarChq_7C *FrmGarChq_7C = nullptr;
static TEsqueceForm<TFrmGarChq_7C, FrmGarChq_7C> registro;

TFrmGarChq_7C::TFrmGarChq_7C(TComponent *AOwner) : TFrmChq_Trn(AOwner) {
  Name = "FrmGarChq_7C";
  SetCaption("FrmGarChq_7C");
  // The terms answer sits beside the issuer's name and is reached right after it; the rows
  // below come one place later.
  edEmitente->Width = 280;
  lbDemoPrazos = CriaRotulo(pnCaptura, "lbDemoPrazos", 360, 132, 130, 15, "Demonst. de Prazos:");
  lbDemoPrazos->Alignment = taRightJustify;
  lbDemoPrazos->Font.Bold = true;
  edDemoPrazos = CriaEdit<TEdit>(pnCaptura, "edDemoPrazos", 496, 128, 24, 24, 9, 1);
  int ordem = 10;
  for (TWinControl *c : std::initializer_list<TWinControl *>{
           edAberturaCC, edRG, edFacilitador, edDtNascimento, edDDD, edTelefone, pnProcessamento})
    c->TabOrder = ordem++;
  edDemoPrazos->OnEnter = [this](TObject *s) { edDemoPrazosEnter(s); };
  edDemoPrazos->OnKeyPress = [this](TObject *s, char &k) { edDemoPrazosKeyPress(s, k); };
}

void TFrmGarChq_7C::IniciaCamposForm() {
  TFrmChq_Trn::IniciaCamposForm();
  edDemoPrazos->SetEnabled(false);
  lbDemoPrazos->SetCaption(Host().LeMensagens(1723));
  LayoutRequisicao = &TrnGarantiaCheque7C;
  CopiaBuffer(acTipoPessoa, "");

  // Asked for 0, and for 2 unless the section says "Nao"; never for 1 or any other value.
  bool pergunta = opDemoPrazos == 0;
  if (opDemoPrazos == 2) {
    const TIniFile cheque(CaminhoArquivoIni("Cheque.ini"));
    pergunta = AnsiUpperCase(cheque.ReadString(Secao(), "DemoPrazos", "Nao")) != "NAO";
  }
  edDemoPrazos->SetEnabled(pergunta);
  lbDemoPrazos->SetEnabled(pergunta);
}

bool TFrmGarChq_7C::ValidaCamposForm() {
  if (!TFrmChq_Trn::ValidaCamposForm()) return false;
  if (opDemoPrazos == 0 && edDemoPrazos->Text().empty())
    return FalhaEm(1725, edDemoPrazos, true, false);
  return true;
}

bool TFrmGarChq_7C::GravaCamposVelkor() {
  if (!TFrmChq_Trn::GravaCamposVelkor()) return false;
  auto grava = [](int campo, const std::string &valor) {
    return Host().GravaCampoString(campo, 0, valor) == 0;
  };
  if (!grava(10158, sTipoFuncao) || !grava(10103, sTipoSaida)) return false;
  if (!edDemoPrazos->Text().empty() && !grava(10299, edDemoPrazos->Text())) return false;

  const std::string q = edQtdChq->Text().empty() ? "1" : edQtdChq->Text();
  if (!grava(1046, q)) return false;
  const int n = StrToIntDef(q, 0);
  // The count goes out as the point of sale gave it, also past the cheques the grid collects;
  // only the record's 16 bits bound it.
  if (n > 0)
    DefineQuantidadeCheques(TrnGarantiaCheque7C, static_cast<uint16_t>(std::min(n, 0xFFFF)));
  // With several cheques the CMC-7 grid wrote these per cheque.
  if (n == 1 &&
      !(grava(10167, edCMC7->Text()) && grava(10165, Host().RemoveFormato(edValor->Text())) &&
        grava(10166, Host().RemoveFormato(edData->Text()))))
    return false;

  const std::string tipoDoc = edTipoDoc->Text();
  if (!tipoDoc.empty() && (tipoDoc[0] == '1' || tipoDoc[0] == '2'))
    CopiaBuffer(acTipoPessoa, tipoDoc[0] == '1' ? "2" : "1");
  return true;
}

void TFrmGarChq_7C::edDemoPrazosEnter(TObject *) {
  MostraDicaTexto(Format("%s %s", Host().LeMensagens(1724).c_str(),
                         FormatMsg(Host().LeMensagens(566), {"1", "0"}).c_str()));
}

void TFrmGarChq_7C::edDemoPrazosKeyPress(TObject *, char &Key) {
  if (Key != VK_BACK && Key != VK_RETURN && Key != '0' && Key != '1') Key = 0;
}
