#include "screens/cancelamento/CancelamentoModelo.h"

#include <cstring>

#include "module/ChequeMain.h"
#include "platform/system/IniFiles.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/menus/MenuCheque.h"

namespace {

constexpr unsigned kComIcone = MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST;
constexpr unsigned kSemIcone = MB_OK | MB_TOPMOST;

// The cheque data travels as pieces separated by this byte.
constexpr char kSeparador = '\x04';

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

void Habilita(std::initializer_list<TControl *> controles, bool habilita) {
  for (TControl *c : controles) c->SetEnabled(habilita);
}

void Foca(TWinControl *c) {
  if (c && c->CanFocus()) c->SetFocus();
}

// "ddmmyyyy" as the platform's "dd/mm/yyyy"; an impossible date is today's.
TDate DataDoCampo(const std::string &v) {
  auto parte = [&v](size_t pos, size_t n) { return pos < v.size() ? v.substr(pos, n) : ""; };
  TDate d;
  if (!TryStrToDate(parte(0, 2) + "/" + parte(2, 2) + "/" + parte(4, 4), d)) d = Date();
  return d;
}

} // namespace

int ModoEntradaMenu() {
  return FrmRedes_Mnu ? FrmRedes_Mnu->TipoEntrada : 0;
}

TFrmCancelamento_Mod::TFrmCancelamento_Mod(TComponent *AOwner, const TVariaveisUnidade &unidade,
                                           bool comCompensacao)
    : TFrmMod(AOwner), fUnidade(unidade) {
  KeyPreview = true;

  pnCaptura = CriaPainelCaptura("pnCaptura", 24, 106, 580, 210, 1);
  // The ordinary cancellation starts with the document; the Venezuelan one with the amount,
  // and the document goes to the second row.
  const int linhaDocumento = comCompensacao ? 12 : 42;
  lbNumDocumento = CriaRotulo(pnCaptura, "lbNumDocumento", 8, linhaDocumento + 4, 120, 15,
                              CP1252("Número do Documento:"));
  edNumDocumento = CriaEdit<TEdit>(pnCaptura, "edNumDocumento", 132, linhaDocumento, 90, 24,
                                   comCompensacao ? 0 : 2, 9);
  lbDtTransacao =
      CriaRotulo(pnCaptura, "lbDtTransacao", 250, 16, 110, 15, CP1252("Data da Transação:"));
  edDataTransacao = CriaEdit<TMaskEdit>(pnCaptura, "edDataTransacao", 364, 12, 90, 24, 1, 10);
  edDataTransacao->SetEditMask("!99/99/9999;1;_");
  edDataTransacao->SetText("  /  /    ");

  pnEdit = CriaPainel(pnCaptura, "pnEdit", 8, 76, 564, 70, 4);
  pnDadosCheque = CriaPainel(pnEdit, "pnDadosCheque", 0, 0, 564, 70, 0);
  // Without the compensation code every tab order of the panel moves one place up.
  const int t = comCompensacao ? 1 : 0;
  if (comCompensacao) {
    lbCompensacao =
        CriaRotulo(pnDadosCheque, "lbCompensacao", 4, 10, 80, 15, CP1252("Compensação:"));
    edCompensacao = CriaEdit<TEdit>(pnDadosCheque, "edCompensacao", 88, 6, 40, 24, 0, 3);
  }
  lbBanco = CriaRotulo(pnDadosCheque, "lbBanco", 136, 10, 40, 15, "Banco:");
  edBanco = CriaEdit<TEdit>(pnDadosCheque, "edBanco", 180, 6, 44, 24, t, 4);
  lbAgencia = CriaRotulo(pnDadosCheque, "lbAgencia", 232, 10, 52, 15, CP1252("Agência:"));
  edAgencia = CriaEdit<TEdit>(pnDadosCheque, "edAgencia", 288, 6, 44, 24, t + 1, 4);
  lbConta = CriaRotulo(pnDadosCheque, "lbConta", 4, 40, 80, 15, "Conta Corrente:");
  edConta = CriaEdit<TEdit>(pnDadosCheque, "edConta", 88, 36, 100, 24, t + 2);
  lbDigito = CriaRotulo(pnDadosCheque, "lbDigito", 192, 40, 8, 15, "-");
  edDigito = CriaEdit<TEdit>(pnDadosCheque, "edDigito", 204, 36, 24, 24, t + 3, 1);
  lbCheque = CriaRotulo(pnDadosCheque, "lbCheque", 240, 40, 50, 15, "Cheque:");
  edCheque = CriaEdit<TEdit>(pnDadosCheque, "edCheque", 294, 36, 80, 24, t + 4);
  Label1 = CriaRotulo(pnDadosCheque, "Label1", 382, 40, 24, 15, "C3:");
  edC3 = CriaEdit<TEdit>(pnDadosCheque, "edC3", 410, 36, 24, 24, t + 5, 1);

  pnCMC7 = CriaPainel(pnEdit, "pnCMC7", 0, 0, 564, 70, 1);
  lbCMC7 = CriaRotulo(pnCMC7, "lbCMC7", 4, 24, 60, 15, "CMC7:");
  edCMC7 = CriaEdit<TEdit>(pnCMC7, "edCMC7", 88, 20, 320, 24, 0, 40);

  std::tie(pnBotoes, btConfirma, btRetorna) = CriaBotoesConfirmaCancela();

  OnKeyPress = [this](TObject *s, char &k) { FormKeyPress(s, k); };
  LigaBotao(btConfirma, &TFrmCancelamento_Mod::btConfirmaClick);
  LigaBotao(btRetorna, &TFrmCancelamento_Mod::btRetornaClick);

  for (auto [controle, mensagem] :
       std::initializer_list<std::pair<TWinControl *, int>>{{edNumDocumento, 261},
                                                            {edDataTransacao, 37},
                                                            {edBanco, 54},
                                                            {edConta, 56},
                                                            {edDigito, 57},
                                                            {edCheque, 58},
                                                            {edC3, 84},
                                                            {edCMC7, 70},
                                                            {btConfirma, 46},
                                                            {btRetorna, 48}})
    Dica(controle, mensagem);
  // C3 takes the filter of the account digit.
  for (TWinControl *e : {edNumDocumento, edBanco, edConta, edDigito, edCheque, edC3, edCMC7})
    e->OnKeyPress = [this](TObject *s, char &k) { FiltraDigitos(s, k); };
}

std::string TFrmCancelamento_Mod::PreencherZerosEsquerda(const std::string &texto, size_t largura) {
  return texto.size() >= largura ? texto : std::string(largura - texto.size(), '0') + texto;
}

// ---- Configuration ----------------------------------------------------------------------

std::string TFrmCancelamento_Mod::SecaoConfiguracao() const {
  if (FrmRedes_Mnu) return FrmRedes_Mnu->SecaoConfiguracao;
  const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
  for (const std::string &secao : ini.ReadSections())
    if (ini.ReadInteger(secao, "habilitado", 0) == 1 &&
        ini.ReadInteger(secao, "CodigoTrn", 0) == 70 &&
        ini.ReadInteger(secao, "TipoFuncao", 0) == 7 &&
        (ini.ReadInteger(secao, "CodigoRede", 0) == 96) == fDiferencas.redeVenezuelana)
      return secao;
  return std::string();
}

void TFrmCancelamento_Mod::ConfiguraTamanhos() {
  const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
  const std::string secao = SecaoConfiguracao();
  // A length of 0 or less leaves the edit without a limit.
  auto aplica = [&](TCustomEdit *e, const char *chave, int padrao) {
    const int n = ini.ReadInteger(secao, chave, padrao);
    if (e) e->MaxLength = n > 0 ? n : 0;
    return n;
  };
  aplica(edCompensacao, "tmCompensacao", 3);
  aplica(edBanco, "tmBanco", 3);
  if (edCompensacao) aplica(edAgencia, "tmAgencia", 4);
  aplica(edConta, "tmConta", 10);
  aplica(edDigito, "tmDigito", 1);
  // Above six digits the configured cheque number counts its C3, which has its own edit.
  const int cheque = aplica(edCheque, "tmCheque", 6);
  if (cheque > 6) edCheque->MaxLength = cheque - 1;
}

// ---- Initialisation -----------------------------------------------------------------------

void TFrmCancelamento_Mod::IniciaCamposForm() {
  std::vector<TTexto> textos = {{lbNumDocumento, 568}, {lbDtTransacao, 564}, {lbBanco, 570},
                                {lbAgencia, 571},      {lbCheque, 575},      {lbCMC7, 576},
                                {btConfirma, 553},     {btRetorna, 554}};
  textos.insert(textos.end(), fDiferencas.textos.begin(), fDiferencas.textos.end());
  for (const TTexto &t : textos) t.controle->SetCaption(Host().LeMensagens(t.mensagem));
  Configura();
  std::vector<TCustomEdit *> edits = {edNumDocumento, edDataTransacao, edBanco, edConta,
                                      edDigito,       edCheque,        edCMC7};
  edits.insert(edits.end(), fDiferencas.edits.begin(), fDiferencas.edits.end());
  for (TCustomEdit *e : edits) e->Clear();

  lbTitulo->SetCaption(Host().LeMensagens(465));
  pnCaptura->SetVisible(true);
  pnEdit->SetVisible(false);
  pnDadosCheque->SetVisible(false);
  pnCMC7->SetVisible(false);
  IniciaCamposProprios();

  const std::string documento = Host().LeCampo(1013, 0);
  edNumDocumento->SetText(documento);
  edNumDocumento->SetEnabled(documento.empty());

  // Without the host's date the operator gets today's, which he may change.
  const std::string data = Host().LeCampo(1020, 0);
  edDataTransacao->SetText(DateToStr(data.empty() ? Date() : DataDoCampo(data)));
  edDataTransacao->SetEnabled(data.empty());

  // The cheque the host already holds is shown and locked. The panel itself appears only when
  // the operator leaves the last field before it.
  const std::string cmc7 = Host().LeCampo(1005, 0);
  if (!cmc7.empty()) {
    pnCMC7->SetVisible(true);
    edCMC7->SetText(cmc7);
    edCMC7->SetEnabled(false);
  } else if (!Host().LeCampo(fDiferencas.campoChequeDigitado, 0).empty()) {
    pnDadosCheque->SetVisible(true);
    for (auto [edit, campo] : fDiferencas.chequeDoHost) {
      const std::string valor = Host().LeCampo(campo, 0);
      if (valor.empty()) continue;
      edit->SetText(valor);
      edit->SetEnabled(false);
    }
    if (!edCheque->Enabled()) {
      const std::string c3 = Host().LeCampo(1035, 0);
      if (!c3.empty()) edC3->SetText(c3);
      edC3->SetEnabled(false);
    }
  }
}

void TFrmCancelamento_Mod::VerificaAutorizaTransacao() {
  Host().AutorizaTransacao(LayoutRequisicao, reinterpret_cast<THandle>(lbMensagem), 1);
}

// ---- Events -----------------------------------------------------------------------------------

void TFrmCancelamento_Mod::FormShow(TObject *Sender) {
  *fUnidade.bControlaKeyPreview = true;
  IniciaCamposForm();
  if (dynamic_cast<TBitBtn *>(ActiveControl())) SelectNext(ActiveControl(), true);
  TFrmMod::FormShow(Sender);
}

// Enter walks through the edits; on a button it presses the button.
void TFrmCancelamento_Mod::FormKeyPress(TObject *, char &Key) {
  if (*fUnidade.bControlaKeyPreview) {
    char tecla = Key;
    if (Host().ValKeyBoard(tecla) == VK_RETURN && !dynamic_cast<TBitBtn *>(ActiveControl())) {
      SelectNext(ActiveControl(), true);
      Key = 0;
    }
  }
  *fUnidade.bControlaKeyPreview = true;
}

void TFrmCancelamento_Mod::Dica(TWinControl *c, int mensagem) {
  c->OnEnter = [this, mensagem](TObject *) {
    lbMensagem->SetVisible(true);
    lbMensagem->SetCaption(Host().LeMensagens(mensagem));
  };
}

void TFrmCancelamento_Mod::FiltraDigitos(TObject *, char &Key) {
  const char k = Host().ValKeyBoard(Key);
  if (k != VK_BACK && k != VK_RETURN && !Digito(k)) Key = 0;
}

void TFrmCancelamento_Mod::MostraPainel(bool cmc7) {
  (*fUnidade.TipoEntradaCheque)[0] = cmc7 ? '0' : '2';
  (*fUnidade.TipoEntradaCheque)[1] = '\0';
  pnEdit->SetVisible(true);
  pnCMC7->SetVisible(cmc7);
  pnDadosCheque->SetVisible(!cmc7);
}

void TFrmCancelamento_Mod::EscolhePainelCheque() {
  const int modo = ModoEntradaMenu();
  if (modo != 0 && modo != 1 && modo != 2) return;
  // The focus moves to the cheque panel also when the operator pressed the cancel button,
  // which takes the focus from him; his press still closes the screen.
  const bool retorna = Receiving() == btRetorna;
  MostraPainel(modo != 1);
  FocaPainelCheque(modo);
  if (retorna && ActiveControl() != btRetorna) btRetornaClick(btRetorna);
}

void TFrmCancelamento_Mod::FocaPainelCheque(int modo) {
  if (modo == 1) {
    // The first typed-cheque edit the host left open; all filled, the confirmation.
    for (TWinControl *c : pnDadosCheque->TabOrderList())
      if (c->CanFocus()) return c->SetFocus();
    return Foca(btConfirma);
  }
  if (edCMC7->Enabled()) {
    // Without a menu choice the focus stays where the operator moved it.
    if (modo == 2) Foca(edCMC7);
    return;
  }
  // The line came from the host: nothing is left to type.
  if (!btConfirma->CanFocus()) {
    btConfirma->SetEnabled(true);
    btConfirma->SetVisible(true);
  }
  Foca(btConfirma);
}

// ---- Validation -----------------------------------------------------------------------------

bool TFrmCancelamento_Mod::Verifica(std::initializer_list<TVerificacao> verificacoes) {
  for (const TVerificacao &v : verificacoes) {
    if (!v.falhou) continue;
    Application->MessageBox(Host().LeMensagens(v.mensagem), TITULO_APLICACAO,
                            v.icone ? kComIcone : kSemIcone);
    pnCaptura->SetEnabled(true);
    v.controle->SetEnabled(true);
    if (v.limpa) v.controle->SetText("");
    Foca(v.controle);
    return false;
  }
  return true;
}

bool TFrmCancelamento_Mod::VerificaDocumentoEData() {
  TDate data;
  const bool dataInvalida =
      edDataTransacao->Enabled() && (Host().RemoveFormato(edDataTransacao->Text()).size() < 8 ||
                                     !TryStrToDate(edDataTransacao->Text(), data));
  return Verifica({{edNumDocumento->Text().empty(), 281, edNumDocumento, true, false},
                   {dataInvalida, 787, edDataTransacao, true}});
}

bool TFrmCancelamento_Mod::VerificaCheque() {
  if (pnCMC7->Visible()) return Verifica({{edCMC7->Text().size() < 30, 809, edCMC7, false}});
  auto vazio = [](TCustomEdit *e) { return e->Text().empty(); };
  const bool comp = edCompensacao != nullptr;
  return Verifica({{comp && vazio(edCompensacao), 1023, edCompensacao, false},
                   {vazio(edBanco), 804, edBanco, false},
                   {comp && vazio(edAgencia), 805, edAgencia, false},
                   {vazio(edConta), 806, edConta, false},
                   {vazio(edDigito), 807, edDigito, false},
                   {edCheque->Enabled() && vazio(edCheque), 808, edCheque, false},
                   {edC3->Visible() && edC3->Enabled() && vazio(edC3), 1172, edC3, false}});
}

bool TFrmCancelamento_Mod::ValidaCamposForm() {
  return VerificaDocumentoEData() && VerificaCheque();
}

// ---- Request fields ---------------------------------------------------------------------------

bool TFrmCancelamento_Mod::Grava(std::initializer_list<std::pair<int, std::string>> campos) {
  for (const auto &[campo, valor] : campos)
    if (Host().GravaCampoString(campo, 0, valor) != 0) return false;
  return true;
}

bool TFrmCancelamento_Mod::GravaCabecalho(const std::string &rede, const std::string &reservado) {
  return Grava({{10112, rede},
                {10102, reservado},
                {10158, "7"},
                {1061, std::string(1, (*fUnidade.TipoEntradaCheque)[0])},
                {1013, edNumDocumento->Text()},
                {1020, Host().RemoveFormato(edDataTransacao->Text())}});
}

bool TFrmCancelamento_Mod::GravaDadosCheque() {
  std::string dados;
  if (pnCMC7->Visible()) {
    dados = edCMC7->Text();
    if (!Grava({{1005, dados}})) return false;
  } else {
    const std::string S(1, kSeparador);
    if (edCompensacao)
      dados = edCompensacao->Text() + S + edBanco->Text() + S + edAgencia->Text() + S;
    else
      dados = edBanco->Text() + S;
    dados += edConta->Text() + edDigito->Text() + S + edCheque->Text() + edC3->Text();
  }
  // Long configured lengths could make more than the buffer holds: the end is cut.
  std::memset(*fUnidade.DadosCheque, 0, sizeof *fUnidade.DadosCheque);
  StrLCopy(*fUnidade.DadosCheque, sizeof *fUnidade.DadosCheque, dados);
  return true;
}

// ---- Confirm cycle --------------------------------------------------------------------------

// The outcome of the cancellation is not looked at here: once the host has run it, the store
// is saved and the point of sale reads the result from it.
void TFrmCancelamento_Mod::btConfirmaClick(TObject *) {
  *fUnidade.bControlaKeyPreview = false;
  Habilita({pnCaptura, btConfirma, btRetorna}, false);
  if (ValidaCamposForm() && GravaCamposVelkor()) {
    SetEnabled(false);
    Habilita({btConfirma, btRetorna}, false);
    Host().AutorizaTransacao(LayoutRequisicao, reinterpret_cast<THandle>(lbMensagem), 0);
    const std::string mensagem = Host().LeCampo(1027, 0);
    if (!mensagem.empty()) {
      lbMensagem->SetCaption(mensagem);
      Application->ProcessMessages();
    }
    Host().VelkorGravaArquivo();
    ModalResult = mrOk;
  }
  Habilita({pnCaptura, btConfirma, btRetorna}, true);
}

void TFrmCancelamento_Mod::btRetornaClick(TObject *) {
  ModalResult = mrCancel;
}
