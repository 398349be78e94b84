#include "screens/menus/SelecionaTipoConsultaCheque.h"

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/system/IniFiles.h"
#include "platform/text/StrUtils.h"
#include "screens/menus/MenuCheque.h"

std::string aCodigoConsulta[TFrmTipoConsulta_Mod::MAX_TIPOS];
std::string aChaveConsulta[TFrmTipoConsulta_Mod::MAX_TIPOS];
std::string aDescricaoConsulta[TFrmTipoConsulta_Mod::MAX_TIPOS];
std::string TipoConsulta;
std::string Frase;
std::string Produto;

namespace {

// Enter moves the focus only when the form saw the key outside a confirm.
bool bControlaKeyPreview = false;

void LimpaUnidade() {
  LimpaArray();
  TipoConsulta.clear();
  Frase.clear();
  Produto.clear();
  bControlaKeyPreview = false;
}
TRegistroUnidade Registro(&LimpaUnidade, &LimpaUnidade);

bool DentroDasTabelas(int indice) {
  return indice >= 0 && indice < TFrmTipoConsulta_Mod::MAX_TIPOS;
}

} // namespace

void LimpaArray() {
  for (int i = 0; i < TFrmTipoConsulta_Mod::MAX_TIPOS; ++i) {
    aCodigoConsulta[i].clear();
    aChaveConsulta[i].clear();
    aDescricaoConsulta[i].clear();
  }
}

std::string splitstr(const std::string &texto, char separador, int quantidade, int indice) {
  std::string token; // the current sub-field, cut after each ':'
  std::string bruto; // the current sub-field as written
  std::string resultado;
  int separadores = 0;
  for (char c : texto) {
    Frase += c;
    token += c;
    if (token.find(':') != std::string::npos) token.clear();
    if (c != separador) {
      bruto += c;
      continue;
    }
    ++separadores;
    const std::string valor = token.substr(0, token.size() - (token.empty() ? 0 : 1));
    if (DentroDasTabelas(indice)) {
      if (separadores == 1)
        aCodigoConsulta[indice] = valor;
      else if (separadores == 2)
        aChaveConsulta[indice] = valor;
      else if (separadores == 3)
        aDescricaoConsulta[indice] = valor;
    }
    if (separadores == 2) resultado = bruto;
    token.clear();
    bruto.clear();
    if (separadores >= quantidade) return resultado;
  }
  // The text ended inside the entry: what came after the last separator is the result.
  return bruto;
}

TFrmTipoConsulta_Mod::TFrmTipoConsulta_Mod(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmTipoConsulta_Mod";
  SetCaption("FrmTipoConsulta_Mod");
  KeyPreview = true;

  pnCaptura = CriaPainelCaptura("pnCaptura", 24, 106, 580, 210, 1);
  lbTipoConsulta = CriaRotulo(pnCaptura, "lbTipoConsulta", 20, 93, 150, 15, "Tipo de Consulta:");
  lbTipoConsulta->Alignment = taRightJustify;
  lbTipoConsulta->Font.Bold = true;
  cbTipoConsulta = NewControl<TComboBox>(this, pnCaptura, "cbTipoConsulta", 178, 89, 320, 24);
  cbTipoConsulta->TabOrder = 0;
  cbTipoConsulta->SetVisible(false);
  cbTipoConsulta->OnEnter = [this](TObject *s) { cbTipoConsultaEnter(s); };
  cbTipoConsulta->OnKeyPress = [this](TObject *s, char &k) { cbTipoConsultaKeyPress(s, k); };

  // Hidden until the screen is filled in with its texts.
  std::tie(pnBotoes, btConfirma, btRetorna) = CriaBotoesConfirmaCancela();
  btConfirma->SetVisible(false);
  btRetorna->SetVisible(false);
  LigaBotao(btConfirma, &TFrmTipoConsulta_Mod::btConfirmaClick,
            &TFrmTipoConsulta_Mod::btConfirmaEnter);
  LigaBotao(btRetorna, &TFrmTipoConsulta_Mod::btRetornaClick,
            &TFrmTipoConsulta_Mod::btRetornaEnter);

  TErro = new TTimer(this);
  TErro->Name = "TErro";
  TErro->Interval = 10;
  TErro->SetEnabled(false);
  TErro->OnTimer = [this](TObject *s) { TErroTimer(s); };

  OnKeyPress = [this](TObject *s, char &k) { FormKeyPress(s, k); };
}

void TFrmTipoConsulta_Mod::IniciaCamposForm() {
  lbTitulo->SetCaption(Host().LeMensagens(456));
  btConfirma->SetCaption(Host().LeMensagens(553));
  btRetorna->SetCaption(Host().LeMensagens(554));
  lbTipoConsulta->SetCaption(Host().LeMensagens(602));
  btConfirma->SetVisible(true);
  btRetorna->SetVisible(true);
  cbTipoConsulta->SetVisible(false);
  cbTipoConsulta->Items.Clear();
  cbTipoConsulta->SetItemIndex(-1);

  const std::string caminho = CaminhoArquivoIni("ClienteTrn.ini");
  if (!FileExists(caminho)) {
    (void)TIniFile(caminho); // a FIFO or a folder by that name is not silent: the reader names it
    return;
  }

  LimpaArray();
  TipoConsulta = FrmRedes_Mnu ? FrmRedes_Mnu->ListaTipoConsulta : std::string();
  int restante = static_cast<int>(TipoConsulta.size());
  int entradas = 0;
  // A list longer than the tables is read up to what they hold; the rest is ignored.
  while (restante > 0 && entradas < MAX_TIPOS) {
    Produto = splitstr(TipoConsulta, ';', 3, entradas);
    const int consumidos = static_cast<int>(Frase.size());
    TipoConsulta = Host().CopyString(TipoConsulta, consumidos + 1, restante - consumidos);
    restante -= consumidos;
    Frase.clear();
    ++entradas;
  }

  const TIniFile ini(caminho);
  const std::string secao = FrmRedes_Mnu ? FrmRedes_Mnu->SecaoConfiguracao : std::string();
  for (int i = 0; i < entradas; ++i) {
    if (aChaveConsulta[i].empty()) continue;
    if (ini.ReadInteger(secao, aChaveConsulta[i], 0) != 1) continue;
    if (!cbTipoConsulta->Visible()) cbTipoConsulta->SetVisible(true);
    cbTipoConsulta->Items.Add(Trim(aCodigoConsulta[i]) + " - " + Trim(aDescricaoConsulta[i]));
  }
}

bool TFrmTipoConsulta_Mod::ValidaCamposForm() {
  if (cbTipoConsulta->ItemIndex() >= 0) return true;
  Application->MessageBox(Host().LeMensagens(814), TITULO_APLICACAO, MB_TOPMOST);
  pnCaptura->SetEnabled(true);
  cbTipoConsulta->SetEnabled(true);
  if (cbTipoConsulta->CanFocus()) cbTipoConsulta->SetFocus();
  return false;
}

bool TFrmTipoConsulta_Mod::Grava_Tipo_Consulta() {
  const int i = cbTipoConsulta->ItemIndex();
  if (i < 0 || i >= cbTipoConsulta->Items.Count()) return false;
  const std::string codigo = Host().RemoveFormato(cbTipoConsulta->Items[i].substr(0, 2));
  return Host().GravaCampoString(1043, 0, codigo) == 0;
}

void TFrmTipoConsulta_Mod::FormShow(TObject *Sender) {
  bControlaKeyPreview = true;
  IniciaCamposForm();
  if (!cbTipoConsulta->Visible()) {
    TErro->SetEnabled(true);
    return;
  }
  cbTipoConsulta->SetItemIndex(0);
  if (TWinControl *ativo = ActiveControl(); dynamic_cast<TButtonControl *>(ativo))
    SelectNext(ativo, true);
  TFrmMod::FormShow(Sender);
  if (cbTipoConsulta->CanFocus()) cbTipoConsulta->SetFocus();
}

void TFrmTipoConsulta_Mod::TErroTimer(TObject *) {
  TErro->SetEnabled(false);
  ModalResult = mrOk;
}

void TFrmTipoConsulta_Mod::btConfirmaClick(TObject *) {
  bControlaKeyPreview = false;
  pnCaptura->SetEnabled(false);
  btConfirma->SetEnabled(false);
  btRetorna->SetEnabled(false);
  if (ValidaCamposForm() && Grava_Tipo_Consulta()) ModalResult = mrOk;
  pnCaptura->SetEnabled(true);
  btConfirma->SetEnabled(true);
  btRetorna->SetEnabled(true);
}

void TFrmTipoConsulta_Mod::btRetornaClick(TObject *) {
  ModalResult = mrCancel;
}

void TFrmTipoConsulta_Mod::FormKeyPress(TObject *, char &Key) {
  if (bControlaKeyPreview && Host().ValKeyBoard(Key) == VK_RETURN) {
    TWinControl *ativo = ActiveControl();
    if (!dynamic_cast<TButtonControl *>(ativo)) {
      SelectNext(ativo, true);
      Key = 0;
    }
  }
  bControlaKeyPreview = true;
}

void TFrmTipoConsulta_Mod::cbTipoConsultaKeyPress(TObject *, char &Key) {
  const int i = cbTipoConsulta->ItemIndex();
  if (Key == '2') {
    if (i + 1 < cbTipoConsulta->Items.Count()) cbTipoConsulta->SetItemIndex(i + 1);
    Key = 0;
  } else if (Key == '8') {
    if (i > 0) cbTipoConsulta->SetItemIndex(i - 1);
    Key = 0;
  }
}

void TFrmTipoConsulta_Mod::MostraDica(int mensagem) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(Host().LeMensagens(mensagem));
}

void TFrmTipoConsulta_Mod::cbTipoConsultaEnter(TObject *) {
  MostraDica(140);
}
void TFrmTipoConsulta_Mod::btConfirmaEnter(TObject *) {
  MostraDica(46);
}
void TFrmTipoConsulta_Mod::btRetornaEnter(TObject *) {
  MostraDica(48);
}
