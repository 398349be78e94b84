#include "screens/base/TrnModeloCheque.h"

#include <algorithm>
#include <cstring>

#include "module/ChequeMain.h"
#include "module/TrataRetorno.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/base/ImprimeConsultaCheque.h"
#include "screens/coleta/CapturaPerguntas.h"
#include "screens/consulta/LayoutsConsulta.h"
#include "screens/menus/MenuCheque.h"

bool bControlaKeyPreview = false;
bool captura_senha = false;

namespace {

// Networks whose refusals carry a Venezuelan receipt.
bool RedeVenezuelana(const std::string &rede) {
  return rede == "57" || rede == "96" || rede == "123" || rede == "143" || rede == "200";
}

THandle HandleDe(TControl *c) {
  return reinterpret_cast<THandle>(c);
}

std::string TextoFixo(const char *p, size_t largura) {
  return std::string(p, strnlen(p, largura));
}

} // namespace

TFrmTrn_Mod::TFrmTrn_Mod(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmTrn_Mod";
  KeyPreview = true;
  lbTitulo->SetCaption(CP1252("FORMULÁRIO PADRÃO PARA CAPTURA DE DADOS"));

  pnCaptura = CriaPainelCaptura("pnCaptura", 24, 106, 580, 210, 1);
  lbValor = CriaRotulo(pnCaptura, "lbValor", 87, 15, 38, 15);
  lbValor->Alignment = taRightJustify;
  edValor = CriaEdit<TEdit>(pnCaptura, "edValor", 132, 11, 101, 24, 0, 12);
  pnProcessamento = NewControl<TPanel>(this, pnCaptura, "pnProcessamento", 15, 45, 550, 121);
  pnProcessamento->BevelOuter = bvLowered;
  pnProcessamento->SetVisible(false);
  pnProcessamento->SetEnabled(false);
  lbAlerta =
      CriaRotulo(pnProcessamento, "lbAlerta", 27, 46, 497, 30, "Aguarde, em processamento...");
  lbAlerta->Alignment = taCenter;
  std::tie(pnBotoes, btConfirma, btRetorna) = CriaBotoesConfirmaCancela();

  OnKeyPress = [this](TObject *s, char &k) { FormKeyPress(s, k); };
  edValor->OnKeyPress = [this](TObject *s, char &k) { edValorKeyPress(s, k); };
  edValor->OnEnter = [this](TObject *s) { edValorEnter(s); };
  LigaBotao(btConfirma, &TFrmTrn_Mod::btConfirmaClick, &TFrmTrn_Mod::btConfirmaEnter);
  LigaBotao(btRetorna, &TFrmTrn_Mod::btRetornaClick, &TFrmTrn_Mod::btRetornaEnter);
}

// ---- Events

void TFrmTrn_Mod::FormShow(TObject *Sender) {
  bControlaKeyPreview = true;
  captura_senha = false;
  IniciaCamposForm();
  if (dynamic_cast<TButtonControl *>(ActiveControl())) SelectNext(ActiveControl(), true);
  TFrmMod::FormShow(Sender);
}

void TFrmTrn_Mod::FormKeyPress(TObject *, char &Key) {
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

void TFrmTrn_Mod::edValorKeyPress(TObject *, char &Key) {
  FiltraTeclaValor(edValor->Text(), Key);
}

void TFrmTrn_Mod::edValorEnter(TObject *) {
  lbMensagem->SetCaption(Host().LeMensagens(26));
}
void TFrmTrn_Mod::btConfirmaEnter(TObject *) {
  lbMensagem->SetCaption(Host().LeMensagens(46));
}
void TFrmTrn_Mod::btRetornaEnter(TObject *) {
  lbMensagem->SetCaption(Host().LeMensagens(48));
}
void TFrmTrn_Mod::btRetornaClick(TObject *) {
  ModalResult = mrCancel;
}

void TFrmTrn_Mod::MostraMensagem(int id) {
  Application->MessageBox(Host().LeMensagens(id), TITULO_APLICACAO,
                          MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
}

void TFrmTrn_Mod::MostraStatus(const std::string &texto) {
  lbMensagem->SetCaption(texto);
  Application->ProcessMessages();
}

// ---- Virtual operations

void TFrmTrn_Mod::IniciaCamposForm() {
  pnProcessamento->SetVisible(false);
  pnProcessamento->SetEnabled(false);
  lbValor->SetCaption(Host().LeMensagens(546));
  btConfirma->SetCaption(Host().LeMensagens(553));
  btRetorna->SetCaption(Host().LeMensagens(554));
  Host().PermiteAlterarDados();
  const std::string valor = Host().RemoveFormato(Host().LeCampo(1003, 0));
  edValor->SetText(Host().Dollar(valor));
  // An amount the host already holds cannot be changed.
  edValor->SetEnabled(Trim(edValor->Text()).empty());
  Host().GravaCampoString(10148, 0, std::string(32, '0'));
}

bool TFrmTrn_Mod::ValidaCamposForm() {
  const std::string valor = Trim(edValor->Text());
  int erro = 0;
  double v = 0;
  if (valor.empty())
    erro = 26;
  else if (!TryStrToFloat(valor, v) || v <= 0)
    erro = 790;
  if (erro == 0) return true;
  MostraMensagem(erro);
  edValor->SetEnabled(true);
  edValor->Clear();
  edValor->SetFocus();
  return false;
}

bool TFrmTrn_Mod::VerificaCapturaSenha() {
  SetEnabled(false);
  bool capturada = true;
  if (captura_senha) {
    char titulo[128] = {};
    StrLCopy(titulo, sizeof titulo, lbTitulo->Caption());
    if (Host().LerSenha(Application->Handle, "", "Garantia com Senha", 0, titulo) != 0) {
      // The point of sale sees what the PIN-pad library left in the store.
      ModalResult = mrOk;
      Host().VelkorGravaArquivo();
      capturada = false;
    }
  }
  SetEnabled(true);
  return capturada;
}

bool TFrmTrn_Mod::GravaCamposVelkor() {
  return Host().GravaCampoString(1003, 0, Host().RemoveFormato(edValor->Text())) == 0;
}

void TFrmTrn_Mod::VerificaAutorizaTransacao() {
  Host().AutorizaTransacao(LayoutRequisicao, HandleDe(lbMensagem), 0);
}

// ---- Questions

bool TFrmTrn_Mod::VerificaCamposCapturadosPerguntas() {
  ReiniciaStructPerguntas();
  if (!Host().VerificaServico5("PERG:", 0)) return true;
  Host().VerificaServico5Perguntas(Struct_Perguntas, RespostasPerguntas);
  if (!RespostasPerguntas.Teclado.empty()) {
    TFrmCap_Perg *tela = Application->CreateForm<TFrmCap_Perg>();
    const int resultado = tela->ShowModal();
    tela->Free();
    if (resultado == mrCancel) return false;
  }
  return VerificaCapturaPerguntasPinpad();
}

bool TFrmTrn_Mod::VerificaCapturaPerguntasPinpad() {
  if (RespostasPerguntas.Pinpad.empty() && RespostasPerguntas.Cartao.empty()) return true;
  char titulo[128] = {};
  StrLCopy(titulo, sizeof titulo, lbTitulo->Caption());
  size_t cartao = 0, pinpad = 0;
  for (const TPergunta &p : Struct_Perguntas) {
    if (p.Tipo == '2') {
      if (!CapturaCartao()) return false;
      std::string lido;
      Host().VelkorLeCampo(10104, 0, lido, 256);
      lido = TextoFixo(lido.c_str(), lido.size());
      if (cartao < RespostasPerguntas.Cartao.size()) {
        TRespostaCartao &r = RespostasPerguntas.Cartao[cartao];
        std::memset(r.Texto, 0, sizeof r.Texto);
        StrLCopy(r.Texto, sizeof r.Texto, lido);
      }
      ++cartao;
      Host().GravaCampoString(10104, 0, "");
    } else if (p.Tipo == '1') {
      const std::string pergunta = TextoFixo(p.Texto, sizeof p.Texto);
      const std::string prompt = FormatMsg(Host().LeMensagens(1187), {pergunta});
      if (Host().ObtemCampoPinpad(Application->Handle, pergunta, prompt, titulo, p.TamMinimo,
                                  p.TamMaximo) != 0)
        return false;
      // A PIN-pad answer fills its whole entry (26 characters, no terminator needed): the
      // text of the questions ends it at the first zero or at its width.
      std::string lido;
      Host().VelkorLeCampo(10146, 0, lido, sizeof(TRespostaPinpad::Texto));
      lido = TextoFixo(lido.c_str(), lido.size());
      if (pinpad < RespostasPerguntas.Pinpad.size()) {
        TRespostaPinpad &r = RespostasPerguntas.Pinpad[pinpad];
        std::memset(r.Texto, 0, sizeof r.Texto);
        std::memcpy(r.Texto, lido.data(), std::min(lido.size(), sizeof r.Texto));
      }
      ++pinpad;
      Host().GravaCampoString(10146, 0, "");
    }
  }
  return true;
}

bool TFrmTrn_Mod::CapturaCartao() {
  Host().GravaCampoString(10107, 0, "1");
  Host().GravaCampoString(10191, 0, "0");
  Host().GravaCampoString(10227, 0, "1");
  Application->ProcessMessages();
  if (Host().GravaCampoString(10112, 0, "45") != 0) return false;
  if (!Host().FazConsultaBinsRedeDestino(1, HandleDe(lbMensagem))) return false;
  if (IntToStr(StrToIntDef(Host().LeCampo(10112, 0), 0)) == "45") return true;
  // The card belongs to another network: the exchange ends with a refusal.
  Host().GravaCampoString(1009, 0, "FF");
  Host().GravaCampoString(1027, 0, Host().LeMensagens(317));
  return false;
}

void TFrmTrn_Mod::GravaDadosPerguntasTecladoPinPad() {
  MontaTextoPerguntas(Perguntas, sizeof Perguntas, Struct_Perguntas, RespostasPerguntas);
}

size_t MontaTextoPerguntas(char *destino, size_t capacidade,
                           const std::vector<TPergunta> &perguntas,
                           const TRespostasPerguntas &respostas) {
  if (!destino || capacidade == 0) return 0;
  std::memset(destino, 0, capacidade);
  size_t usados = 0, escritas = 0, teclado = 0, pinpad = 0, cartao = 0;
  for (const TPergunta &p : perguntas) {
    std::string resposta;
    if (p.Tipo == '0') {
      if (teclado < respostas.Teclado.size())
        resposta = TextoFixo(respostas.Teclado[teclado].Texto, sizeof(TRespostaTeclado::Texto));
      ++teclado;
    } else if (p.Tipo == '1') {
      if (pinpad < respostas.Pinpad.size())
        resposta = TextoFixo(respostas.Pinpad[pinpad].Texto, sizeof(TRespostaPinpad::Texto));
      ++pinpad;
    } else {
      if (cartao < respostas.Cartao.size())
        resposta = TextoFixo(respostas.Cartao[cartao].Texto, sizeof(TRespostaCartao::Texto));
      ++cartao;
    }
    // The prefix and the text form one text that starts at the prefix.
    const std::string pergunta = TextoFixo(p.Prefixo, sizeof p.Prefixo + sizeof p.Texto);
    std::string entrada = "PERG:";
    entrada.append(pergunta).append(",").append(resposta).append(",");
    entrada += p.Tipo;
    entrada += ';';
    // Entries go whole or not at all: the network never sees half a question.
    if (usados + entrada.size() + 1 > capacidade) break;
    // NOLINTNEXTLINE(bugprone-not-null-terminated-result): zeroed above, one byte always left
    std::memcpy(destino + usados, entrada.data(), entrada.size());
    usados += entrada.size();
    ++escritas;
  }
  return escritas;
}

void TFrmTrn_Mod::ConverterTipodePessoa(int modo) {
  const std::string tipo = Host().LeCampo(1006, 0);
  std::string novo;
  if (modo == 0)
    novo = tipo == "1" ? "J" : tipo == "2" ? "F" : "";
  else if (modo == 1)
    novo = tipo == "J" ? "1" : tipo == "F" ? "2" : "";
  if (!novo.empty()) Host().GravaCampoString(1006, 0, novo);
}

// ---- Confirm cycle

void TFrmTrn_Mod::btConfirmaClick(TObject *) {
  bControlaKeyPreview = false;
  if (!ValidaCamposForm()) return;
  if (!VerificaCapturaSenha()) return;
  if (!GravaCamposVelkor()) return;

  pnProcessamento->SetEnabled(true);
  pnProcessamento->SetVisible(true);
  SetEnabled(false);
  btConfirma->SetEnabled(false);
  btRetorna->SetEnabled(false);

  VerificaAutorizaTransacao();

  const int resultado = StrToIntDef(Host().LeCampo(1009, 0), 255);
  if (resultado == 0 && StrToIntDef(Host().LeCampo(20130, 0), 0) > 0)
    Host().GravaCampoString(1028, 0, Host().LeCampo(20020, 0));
  ConverterTipodePessoa(0);

  if (resultado != 0 && RedeVenezuelana(CodigoRede)) {
    if (!Host().LeCampo(20128, 0).empty()) {
      Host().VelkorSetaCupomNegada(20018);
    } else {
      Host().GravaCampoString(10218, 0, "       AUTORIZACION DE CHEQUES        ");
      Host().GravaCampoString(10232, 0, "               CHEQUES                ");
      Host().Leitura_Dados_ServicoQ_Timeout_Venezuela();
      Host().Monta_Comprovante_ServicoQ_Timeout_Venezuela();
    }
    ImprimeCupom = true;
  }

  std::string registro;
  Host().VelkorLeCampo(20017, 0, registro, 8192);
  const std::string servico = AnsiUpperCase(registro.substr(0, 2));
  if ((resultado == 1 || resultado == 88) && servico == "SC" && CodigoRede == "45") {
    const std::string mensagem = Host().LeCampo(1027, 0);
    if (!mensagem.empty()) MostraStatus(mensagem);
    if (!VerificaCamposCapturadosPerguntas()) {
      MostraStatus("");
      ModalResult = mrOk;
      Host().VelkorGravaArquivo();
      return;
    }
    MostraStatus(Host().LeMensagens(43));
    GravaDadosPerguntasTecladoPinPad();
    // The answers go out as a code-70 consultation whatever screen is open.
    ConverterTipodePessoa(1);
    Host().AutorizaTransacao(&TrnConsultaCheque70, HandleDe(lbMensagem), 0);
    ConverterTipodePessoa(0);
    ReiniciaStructPerguntas();
  }

  const std::string mensagem = Host().LeCampo(1027, 0);
  if (!mensagem.empty()) MostraStatus(mensagem);

  MostraResultado();

  if (ImprimeCupom) {
    Host().VelkorGravaArquivo();
    ModalResult = mrOk;
  } else {
    ModalResult = mrCancel;
  }
  SetEnabled(true);
  btConfirma->SetEnabled(true);
  btRetorna->SetEnabled(true);
}

void TFrmTrn_Mod::MostraResultado() {
  const std::string rede = Host().LeCampo(10112, 0);
  if (rede == "71") {
    if (!TrataServicoX_CDLPoa(lbTitulo)) ImprimeCupom = true;
    return;
  }
  std::string registro;
  if (Host().VelkorLeCampo(20033, 0, registro, 8192) != 0) {
    ImprimeCupom = true;
    return;
  }
  if (rede == "117") {
    TrataServicoXTelecheque();
    ImprimeCupom = true;
    return;
  }
  TFrmImprime_Mod *tela = Application->CreateForm<TFrmImprime_Mod>();
  tela->lbTitulo->SetCaption(lbTitulo->Caption());
  tela->ShowModal();
  tela->Free();
}

// ---- Telecheque service X

namespace {

struct TItemTelecheque {
  size_t posicao, tamanho;
};
// Kind "1": items 1 to 16, then the six 14-character items 17 to 22.
constexpr TItemTelecheque kTelecheque1[] = {
    {0, 40},   {40, 8},   {48, 1},   {49, 10},  {59, 50},  {109, 9}, {118, 20}, {138, 30},
    {168, 40}, {208, 2},  {210, 8},  {218, 1},  {219, 2},  {221, 8}, {229, 5},  {234, 8},
    {242, 14}, {256, 14}, {270, 14}, {284, 14}, {298, 14}, {312, 14}};
// Kind "2": items 1 to 6, then the six 14-character items 7 to 12.
constexpr TItemTelecheque kTelecheque2[] = {{0, 8},   {8, 1},   {9, 2},   {11, 8},
                                            {19, 5},  {24, 8},  {32, 14}, {46, 14},
                                            {60, 14}, {74, 14}, {88, 14}, {102, 14}};
constexpr size_t kItensFixos1 = 16, kItensFixos2 = 6;
constexpr size_t kTamanhoCompleto1 = 327, kTamanhoCompleto2 = 117;

template <size_t N>
std::vector<std::string> Corta(const std::string &registro, const TItemTelecheque (&itens)[N],
                               size_t fixos, size_t completo) {
  std::vector<std::string> saida{registro.substr(0, 1)};
  // The body goes into a zeroed record of the layout: what the record does not
  // bring stays empty, and an item's text ends at its first zero byte.
  const size_t tamRegistro = itens[N - 1].posicao + itens[N - 1].tamanho;
  std::string corpo(tamRegistro, '\0');
  const size_t tamCorpo = registro.size() > 1 ? registro.size() - 1 : 0;
  std::memcpy(corpo.data(), registro.data() + 1, std::min(tamCorpo, tamRegistro));
  const size_t n = registro.size() == completo ? N : fixos;
  for (size_t i = 0; i < n; ++i)
    saida.push_back(TextoFixo(corpo.data() + itens[i].posicao, itens[i].tamanho));
  return saida;
}

} // namespace

std::vector<std::string> CortaRegistroTelecheque(const std::string &registro) {
  if (registro.empty()) return {};
  if (registro[0] == '1') return Corta(registro, kTelecheque1, kItensFixos1, kTamanhoCompleto1);
  if (registro[0] == '2') return Corta(registro, kTelecheque2, kItensFixos2, kTamanhoCompleto2);
  return {};
}

void TrataServicoXTelecheque() {
  std::string registro;
  if (Host().VelkorLeCampo(20033, 0, registro, 8192) != 0) return;
  const std::vector<std::string> itens = CortaRegistroTelecheque(registro);
  // A failed write leaves that index unset; the others are still written.
  for (size_t i = 0; i < itens.size(); ++i)
    Host().GravaCampoString(1188, static_cast<int>(i), itens[i]);
}
