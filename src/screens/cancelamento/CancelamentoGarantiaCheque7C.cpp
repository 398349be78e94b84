#include "screens/cancelamento/CancelamentoGarantiaCheque7C.h"

#include <cstring>
#include <initializer_list>

#include "module/ChequeMain.h"
#include "platform/system/IniFiles.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/cancelamento/CancelamentoMultiplasAutorizacoes.h"
#include "screens/cancelamento/LayoutsCancelamento.h"
#include "screens/consulta/ConsultaChequeTrnCheque.h"
#include "screens/menus/MenuCheque.h"

using CancelamentoGarantiaCheque7C::acTipoPessoa;

TFrmGarChq7C_Cnc *FrmGarChq7C_Cnc = nullptr;

namespace {

bool Depois(const TDate &a, const TDate &b) {
  return a.Year != b.Year     ? a.Year > b.Year
         : a.Month != b.Month ? a.Month > b.Month
                              : a.Day > b.Day;
}

} // namespace

TFrmGarChq7C_Cnc::TFrmGarChq7C_Cnc(TComponent *AOwner) : TFrmTrn_Mod(AOwner) {
  Name = "FrmGarChq7C_Cnc";
  SetCaption("FrmGarChq7C_Cnc");
  pnProcessamento->TabOrder = 8;

  lbData = CriaRotulo(pnCaptura, "lbData", 8, 16, 120, 15, "Data da Consulta:");
  edData = CriaEdit<TMaskEdit>(pnCaptura, "edData", 132, 12, 90, 24, 1, 10);
  edData->SetEditMask("!99/99/9999;1;_");
  lbNumDocumento =
      CriaRotulo(pnCaptura, "lbNumDocumento", 250, 16, 120, 15, CP1252("Número do Documento:"));
  edNumDocumento = CriaEdit<TEdit>(pnCaptura, "edNumDocumento", 374, 12, 90, 24, 2, 9);
  lbTipoDoc = CriaRotulo(pnCaptura, "lbTipoDoc", 8, 46, 120, 15, "Tipo Documento:");
  edTipoDoc = CriaEdit<TEdit>(pnCaptura, "edTipoDoc", 132, 42, 24, 24, 3, 1);
  lbCPFCGC = CriaRotulo(pnCaptura, "lbCPFCGC", 250, 46, 120, 15, "CPF/CNPJ:");
  edCPFCGC = CriaEdit<TMaskEdit>(pnCaptura, "edCPFCGC", 374, 42, 140, 24, 4);
  lbTipoCancelamento =
      CriaRotulo(pnCaptura, "lbTipoCancelamento", 8, 76, 120, 15, "Tipo Cancelamento:");
  edTipoCancelamento = CriaEdit<TEdit>(pnCaptura, "edTipoCancelamento", 132, 72, 24, 24, 5, 1);
  lbQtdChq = CriaRotulo(pnCaptura, "lbQtdChq", 250, 76, 120, 15, "Qtd Chq:");
  edQtdChq = CriaEdit<TEdit>(pnCaptura, "edQtdChq", 374, 72, 30, 24, 6, 2);
  lbNumAutorizacao =
      CriaRotulo(pnCaptura, "lbNumAutorizacao", 8, 106, 120, 15, CP1252("Número Autorização:"));
  edNumAutorizacao = CriaEdit<TEdit>(pnCaptura, "edNumAutorizacao", 132, 102, 160, 24, 7, 18);

  for (auto [controle, mensagem] :
       std::initializer_list<std::pair<TWinControl *, int>>{{edData, 1734},
                                                            {edNumDocumento, 261},
                                                            {edCPFCGC, 11},
                                                            {edQtdChq, 145},
                                                            {edNumAutorizacao, 1732}}) {
    const int id = mensagem;
    controle->OnEnter = [this, id](TObject *) { MostraDica(Host().LeMensagens(id)); };
  }
  edTipoDoc->OnEnter = [this](TObject *) {
    MostraDica(FormatMsg(Host().LeMensagens(8), {"1", "2"}));
  };
  edTipoCancelamento->OnEnter = [this](TObject *) {
    MostraDica(FormatMsg("%s %s", {Host().LeMensagens(20), Host().LeMensagens(733)}));
  };

  for (TWinControl *e :
       std::initializer_list<TWinControl *>{edNumDocumento, edCPFCGC, edNumAutorizacao})
    e->OnKeyPress = [](TObject *, char &k) { Host().PermiteNumerico_BS_Enter(k); };
  edTipoDoc->OnKeyPress = [this](TObject *s, char &k) { edTipoDocKeyPress(s, k); };
  edTipoCancelamento->OnKeyPress = [](TObject *, char &k) { Aceita(k, "01"); };
  edQtdChq->OnKeyPress = [this](TObject *s, char &k) { edQtdChqKeyPress(s, k); };
  edQtdChq->OnExit = [this](TObject *s) { edQtdChqExit(s); };
}

void TFrmGarChq7C_Cnc::MostraDica(const std::string &texto) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(texto);
}

bool TFrmGarChq7C_Cnc::Aceita(char &Key, const char *aceitas) {
  const char k = Host().ValKeyBoard(Key);
  if (k == VK_BACK || k == VK_RETURN || (k && std::strchr(aceitas, k))) return true;
  Key = 0;
  return false;
}

void TFrmGarChq7C_Cnc::FocaPrimeiroControle() {
  if (TWinControl *primeiro = FirstControl()) primeiro->SetFocus();
}

// ---- Initialisation -------------------------------------------------------------------------

void TFrmGarChq7C_Cnc::IniciaCamposForm() {
  TFrmTrn_Mod::IniciaCamposForm();
  lbValor->SetVisible(false);
  edValor->SetVisible(false);
  for (TCustomEdit *e :
       std::initializer_list<TCustomEdit *>{edData, edNumDocumento, edTipoDoc, edCPFCGC,
                                            edTipoCancelamento, edQtdChq, edNumAutorizacao})
    e->Clear();
  for (auto [rotulo, mensagem] :
       std::initializer_list<std::pair<TLabel *, int>>{{lbData, 1733},
                                                       {lbTipoDoc, 577},
                                                       {lbCPFCGC, 578},
                                                       {lbNumDocumento, 568},
                                                       {lbTipoCancelamento, 1727},
                                                       {lbNumAutorizacao, 1726}})
    rotulo->SetCaption(Host().LeMensagens(mensagem));
  LayoutRequisicao = &TrnCancelamentoGarantiaCheque7C;
  lbTitulo->SetCaption(Host().LeMensagens(465));
}

// ---- Capture --------------------------------------------------------------------------------

// The person type decides how the document is typed: a CPF for "1", a CNPJ otherwise.
void TFrmGarChq7C_Cnc::edTipoDocKeyPress(TObject *, char &Key) {
  if (!Aceita(Key, "12")) return;
  edCPFCGC->SetEditMask(Key == '1' ? TFrmChq_Trn::MASCARA_CPF : TFrmChq_Trn::MASCARA_CNPJ);
}

void TFrmGarChq7C_Cnc::edQtdChqKeyPress(TObject *, char &Key) {
  const int n = ConsultaChequeTrnCheque::QuantidadeDigitada(edQtdChq, Key);
  if (n == 0) return;
  if (n == 1) {
    lbNumAutorizacao->SetEnabled(true);
    edNumAutorizacao->SetEnabled(true);
    return;
  }
  Host().GravaCampoString(10101, 0, IntToStr(n));
  if (!FrmCncMultiAut) FrmCncMultiAut = Application->CreateForm<TFrmCncMultiAut>();
  cheque_main::TLiberaForm<TFrmCncMultiAut> libera(FrmCncMultiAut);
  const bool cancelada = FrmCncMultiAut->ShowModal() == mrCancel;
  // With the numbers on the grid, the single authorisation number is not asked.
  lbNumAutorizacao->SetEnabled(cancelada);
  edNumAutorizacao->SetEnabled(cancelada);
  if (cancelada) {
    Key = 0;
    if (edQtdChq->CanFocus()) edQtdChq->SetFocus();
  } else if (btConfirma->CanFocus()) {
    btConfirma->SetFocus();
  } else {
    FocaPrimeiroControle();
  }
}

// The form's Enter handling moves the focus before the quantity sees the key: the grid opens
// when the quantity is left, unless for a button.
void TFrmGarChq7C_Cnc::edQtdChqExit(TObject *) {
  if (dynamic_cast<TButtonControl *>(Receiving())) return;
  if (StrToIntDef(Trim(edQtdChq->Text()), 0) > 1) {
    char Key = VK_RETURN;
    edQtdChqKeyPress(edQtdChq, Key);
  }
}

// ---- Validation and request -------------------------------------------------------------------

// The amount is neither shown nor sent with this request: it is not checked.
bool TFrmGarChq7C_Cnc::ValidaCamposForm() {
  TDate data;
  const std::string textoData = edData->Text();
  const bool dataInvalida =
      edData->Enabled() && (Host().RemoveFormato(textoData).size() < 8 ||
                            !TryStrToDate(textoData, data) || Depois(data, Date()));
  const std::string documento = Host().RemoveFormato(edCPFCGC->Text());
  struct TVerificacao {
    bool falhou;
    int mensagem;
    TCustomEdit *edit;
    bool habilita; // enabled to be corrected; otherwise corrected only when enabled
  };
  for (const TVerificacao &v : std::initializer_list<TVerificacao>{
           {dataInvalida, 787, edData, true},
           {edNumDocumento->Text().empty(), 281, edNumDocumento, true},
           {edTipoDoc->Enabled() && edTipoDoc->Text().empty(), 856, edTipoDoc, true},
           {!Host().VerificaCNPJ(documento) && !Host().VerificaCPF(documento), 803, edCPFCGC, true},
           {edTipoCancelamento->Text().empty(), 1728, edTipoCancelamento, false},
           {lbQtdChq->Enabled() && StrToIntDef(edQtdChq->Text(), -1) < 1, 1730, edQtdChq, false},
           {lbNumAutorizacao->Enabled() && edNumAutorizacao->Text().empty(), 1731, edNumAutorizacao,
            false}}) {
    if (!v.falhou) continue;
    MostraMensagem(v.mensagem);
    if (v.habilita) v.edit->SetEnabled(true);
    if (v.edit->Enabled()) {
      v.edit->Clear();
      if (v.edit->CanFocus()) v.edit->SetFocus();
    } else {
      FocaPrimeiroControle();
    }
    return false;
  }
  return true;
}

bool TFrmGarChq7C_Cnc::GravaCamposVelkor() {
  const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
  const std::string secao = FrmRedes_Mnu ? FrmRedes_Mnu->SecaoConfiguracao : std::string();
  const std::string tipoFuncao = ini.ReadString(secao, "TipoFuncao", "1");
  // The option's network goes with the request only: the module's network, by which the answer
  // is handled (refusal receipt, question exchange), stays the last consultation's.
  const std::string rede = ini.ReadString(secao, "CodigoRede", "");
  const std::string tipoSaida = ini.ReadString(secao, "TipoSaida", "");
  auto grava = [](int campo, const std::string &valor) {
    return Host().GravaCampoString(campo, 0, valor) == 0;
  };
  if (!grava(10112, rede) || !grava(10158, tipoFuncao) || !grava(10103, tipoSaida)) return false;

  const std::string tipoDoc = Trim(edTipoDoc->Text());
  if (tipoDoc.empty())
    Host().VelkorLimpaCampo(1006);
  else if (!grava(1006, tipoDoc == "1" ? "F" : "J"))
    return false;
  const char primeiro = edTipoDoc->Text().empty() ? '\0' : edTipoDoc->Text()[0];
  if (primeiro == '1' || primeiro == '2') {
    acTipoPessoa[0] = primeiro == '1' ? '2' : '1';
    acTipoPessoa[1] = '\0';
  }

  if (!grava(1007, Host().RemoveFormato(edCPFCGC->Text())) ||
      !grava(1008, Host().RemoveFormato(edData->Text())) || !grava(1013, edNumDocumento->Text()) ||
      !grava(10213, edTipoCancelamento->Text()) || !grava(1046, edQtdChq->Text()))
    return false;
  const int n = StrToIntDef(edQtdChq->Text(), 0);
  if (lbNumAutorizacao->Enabled()) {
    // One authorisation: a count left by an earlier run with several must not resend them.
    DefineQuantidadeAutorizacoes7C(1);
    return grava(10163, edNumAutorizacao->Text());
  }
  if (n > 0) DefineQuantidadeAutorizacoes7C(static_cast<uint16_t>(n));
  return true;
}
