#include "screens/consulta/ConsultaChequeTrnCheque.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/system/IniFiles.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"
#include "screens/coleta/ColetaDadosMultiplosCMC7.h"
#include "screens/coleta/ColetaDadosMultiplosCheques.h"
#include "screens/consulta/LayoutsConsulta.h"
#include "screens/menus/MenuCheque.h"

namespace ConsultaChequeTrnCheque {

int32_t CodigoTrn = 0;
std::string sTipoFuncao;
std::string TipoConsulta;
int32_t ConsultarBin = 0;
std::string sReservado;
int32_t opData = 0, opCmc7 = 0, opCompensacao = 0, opBanco = 0, opAgencia = 0, opConta = 0,
        opDigito = 0, opCheque = 0, opTipoDoc = 0, opFacilit = 0, opEmitente = 0, opRG = 0,
        opAbertura = 0, opTelefone = 0, opNascto = 0, opCodArea = 0, opDemoPrazos = 0;
int32_t tmCompensacao = 0, tmBanco = 0, tmAgencia = 0, tmConta = 0, tmDigito = 0, tmCheque = 0,
        tmEmitente = 0, tmRG = 0, tmTelefone = 0, tmddd = 0, tmFacilit = 0;
std::string RetornaDetalhesSCPC, TipoServico, Historico, ConfigExtra, DadosCliente;

} // namespace ConsultaChequeTrnCheque

using namespace ConsultaChequeTrnCheque;

namespace {

void ZeraUnidade() {
  CodigoTrn = ConsultarBin = 0;
  sTipoFuncao.clear();
  TipoConsulta.clear();
  sReservado.clear();
  for (int32_t *op :
       {&opData,     &opCmc7,     &opCompensacao, &opBanco,   &opAgencia,    &opConta,
        &opDigito,   &opCheque,   &opTipoDoc,     &opFacilit, &opEmitente,   &opRG,
        &opAbertura, &opTelefone, &opNascto,      &opCodArea, &opDemoPrazos, &tmCompensacao,
        &tmBanco,    &tmAgencia,  &tmConta,       &tmDigito,  &tmCheque,     &tmEmitente,
        &tmRG,       &tmTelefone, &tmddd,         &tmFacilit})
    *op = 0;
  for (std::string *s :
       {&RetornaDetalhesSCPC, &TipoServico, &Historico, &ConfigExtra, &DadosCliente})
    std::string().swap(*s);
}
TRegistroUnidade Registro(&ZeraUnidade, &ZeraUnidade);

// Networks that never ask for the customer's password and take no document type.
bool RedeSemSenha(const std::string &rede) {
  return rede == "57" || rede == "96" || rede == "123" || rede == "143" || rede == "200";
}

constexpr const char *kDataVazia = "  /  /    ";
constexpr const char *kMesAnoVazio = "  /    ";

void Habilita(std::initializer_list<TControl *> controles, bool habilita) {
  for (TControl *c : controles) c->SetEnabled(habilita);
}

// "DDMMYYYY" (or "MMYYYY" with `comDia` false) as the masked text "dd/mm/yyyy" ("mm/yyyy").
std::string DataComBarras(const std::string &v, bool comDia) {
  auto parte = [&v](size_t pos, size_t n) { return pos < v.size() ? v.substr(pos, n) : ""; };
  if (!comDia) return parte(0, 2) + "/" + parte(2, 4);
  return parte(0, 2) + "/" + parte(2, 2) + "/" + parte(4, 4);
}

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

} // namespace

void GravaBufferEtiquetado(char *buffer, size_t capacidade, const char *tag,
                           const std::string &valor) {
  std::memset(buffer, 0, capacidade);
  StrLCopy(buffer, capacidade, tag + valor);
}

// ---- Creation ---------------------------------------------------------------------------------

TFrmChq_Trn::TFrmChq_Trn(TComponent *AOwner) : TFrmTrn_Mod(AOwner) {
  Name = "FrmChq_Trn";
  SetCaption("FrmChq_Trn");
  pnProcessamento->TabOrder = 15;

  // The rows of the capture panel. Each: label and edit, their name, label left and width, edit
  // left, top, width, tab order, maximum length and the label's fixed text.
  const TCampo linha1[] = {
      // Row 1: amount (the base's), quantity, date.
      {&lbQtdChq, &edQtdChq, "QtdChq", 240, 50, 292, 11, 30, 1, 2, "Qtd Chq:"},
      {&lbData, &edData, "Data", 340, 80, 424, 11, 90, 2, 10},
  };
  CriaCampos(pnCaptura, linha1);
  lbQtdChq->SetVisible(false);
  edQtdChq->SetVisible(false);
  edData->SetEditMask("!99/99/9999;1;_");
  edData->SetText(kDataVazia);

  // Row 2: the typed cheque or its CMC-7 line, in two panels on the same place.
  const TCampo cheque[] = {
      {&lbCompensacao, &edCompensacao, "Compensacao", 4, 60, 66, 2, 40, 0, 3},
      {&lbBanco, &edBanco, "Banco", 112, 40, 154, 2, 44, 1, 4},
      {&lbAgencia, &edAgencia, "Agencia", 204, 50, 256, 2, 44, 2, 4},
      {&lbC1, &edC1, "C1", 306, 20, 328, 2, 24, 3, 2},
      {&lbConta, &edConta, "Conta", 4, 60, 66, 30, 100, 4},
      {&lbDigito, &edDigito, "Digito", 170, 8, 180, 30, 24, 5, 1, "-"},
      {&lbC2, &edC2, "C2", 210, 20, 232, 30, 24, 6, 1},
      {&lbCheque, &edCheque, "Cheque", 262, 60, 324, 30, 80, 7},
      {&lbC3, &edC3, "C3", 410, 20, 432, 30, 24, 8, 1, "C3:"},
  };
  const TCampo cmc7[] = {{&lbCMC7, &edCMC7, "CMC7", 4, 60, 66, 16, 300, 0, 40}};
  pnDadosCheque = CriaPainel(pnCaptura, "pnDadosCheque", 8, 40, 564, 56, 3);
  CriaCampos(pnDadosCheque, cheque);
  lbC1->SetVisible(false);
  edC1->SetVisible(false);
  pnCMC7 = CriaPainel(pnCaptura, "pnCMC7", 8, 40, 564, 56, 4);
  CriaCampos(pnCMC7, cmc7);

  const TCampo linhas3a5[] = {
      // Row 3: document type, CPF/CNPJ, area code.
      {&lbTipoDoc, &edTipoDoc, "TipoDoc", 8, 60, 74, 100, 24, 5, 1},
      {&lbCPFCGC, &edCPFCGC, "CPFCGC", 104, 60, 166, 100, 140, 6},
      {&lbCodArea, &edCodArea, "CodArea", 312, 70, 384, 100, 30, 7, 2},
      // Row 4: issuer name.
      {&lbEmitente, &edEmitente, "Emitente", 8, 60, 74, 128, 400, 8},
      // Row 5: account opening, RG and the facilitator (its label has a name of its own).
      {&lbAberturaCC, &edAberturaCC, "AberturaCC", 8, 60, 74, 156, 64, 9, 7},
      {&lbRG, &edRG, "RG", 144, 30, 176, 156, 120, 10, 15},
  };
  const TCampo linha6[] = {
      // Row 6: birth date, DDD, telephone.
      {&lbDtNascimento, &edDtNascimento, "DtNascimento", 8, 60, 74, 184, 90, 12, 10},
      {&lbDDD, &edDDD, "DDD", 170, 30, 202, 184, 44, 13},
      {&lbTelefone, &edTelefone, "Telefone", 252, 50, 304, 184, 100, 14},
  };
  CriaCampos(pnCaptura, linhas3a5);
  lbCodFacilitador = CriaRotulo(pnCaptura, "lbCodFacilitador", 302, 160, 80, 15);
  edFacilitador = CriaEdit<TEdit>(pnCaptura, "edFacilitador", 384, 156, 120, 24, 11, 15);
  CriaCampos(pnCaptura, linha6);
  edEmitente->CharCase = ecUpperCase;
  edAberturaCC->SetEditMask("!99/9999;1;_");
  edAberturaCC->SetText(kMesAnoVazio);
  edDtNascimento->SetEditMask("!99/99/9999;1;_");
  edDtNascimento->SetText(kDataVazia);

  // Hints shown when entering each control.
  struct TDica {
    TWinControl *controle;
    int mensagem;
  };
  const TDica dicas[] = {
      {edData, 6},      {edCPFCGC, 11}, {edTelefone, 13}, {edDtNascimento, 59}, {edConta, 56},
      {edDigito, 57},   {edCheque, 58}, {edBanco, 54},    {edAgencia, 55},      {edRG, 42},
      {edEmitente, 71}, {edCMC7, 70},   {edDDD, 12},      {edAberturaCC, 72},   {edCompensacao, 86},
      {edC1, 82},       {edC2, 83},     {edC3, 84},       {edCodArea, 1712}};
  for (const TDica &d : dicas) {
    const int mensagem = d.mensagem;
    d.controle->OnEnter = [this, mensagem](TObject *) { MostraDica(mensagem); };
  }
  edTipoDoc->OnEnter = [this](TObject *) {
    MostraDicaTexto(FormatMsg(Host().LeMensagens(8), {"1", "2"}));
  };
  edFacilitador->OnEnter = [this](TObject *) { MostraDica(UtilizaCampoCodOperador ? 1100 : 125); };
  edQtdChq->OnEnter = [this](TObject *s) { edQtdChqEnter(s); };
  edQtdChq->OnExit = [this](TObject *s) { edQtdChqExit(s); };
  edQtdChq->OnKeyPress = [this](TObject *s, char &k) { edQtdChqKeyPress(s, k); };

  for (TWinControl *c : std::initializer_list<TWinControl *>{
           edCompensacao, edBanco, edAgencia, edConta, edDigito, edCheque, edC1, edC2, edC3, edCMC7,
           edCPFCGC, edDDD, edCodArea, edTelefone})
    c->OnKeyPress = [this](TObject *s, char &k) { FiltraDigitos(s, k); };
  edTipoDoc->OnKeyPress = [this](TObject *s, char &k) { FiltraTipoDoc(s, k); };
  edFacilitador->OnKeyPress = [this](TObject *s, char &k) { FiltraFacilitador(s, k); };
}

// ---- Shared context of the network menu ---------------------------------------------------

int TFrmChq_Trn::ModoEntrada() {
  return FrmRedes_Mnu ? FrmRedes_Mnu->TipoEntrada : 0;
}

int TFrmChq_Trn::CodigoTransacaoMenu() {
  return Transacao >= 1 && Transacao <= 8 ? QualTransacao[Transacao] : 0;
}

TChequeDigitado TFrmChq_Trn::ChequeDigitado() const {
  return {edCompensacao->Text(), edBanco->Text(), edAgencia->Text(), edC1->Text(), edConta->Text(),
          edDigito->Text(),      edC2->Text(),    edCheque->Text(),  edC3->Text()};
}

// ---- Configuration --------------------------------------------------------------------------

void TFrmChq_Trn::Configura_Consulta() {
  fSecao = FrmRedes_Mnu ? FrmRedes_Mnu->SecaoConfiguracao : std::string();

  {
    const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
    auto inteiro = [&](const char *chave, int padrao) {
      return ini.ReadInteger(fSecao, chave, padrao);
    };
    auto booleano = [&](const char *chave) { return ini.ReadInteger(fSecao, chave, 0) != 0; };
    CodigoTrn = inteiro("CodigoTrn", 70);
    sTipoFuncao = ini.ReadString(fSecao, "TipoFuncao", "1");
    TipoConsulta = ini.ReadString(fSecao, "TipoConsulta", "1");
    ConsultarBin = inteiro("ConsultarBin", 0);
    CodigoRede = ini.ReadString(fSecao, "CodigoRede", "");
    sReservado = ini.ReadString(fSecao, "Reservado", CodigoRede);
    ColetaQtdChq = booleano("ColetaQtdChq");
    TipoEntChqManual = ini.ReadString(fSecao, "TipoEntChqManual", "2");
    UtilizaCampoC1 = booleano("UtilizaCampoC1");
    UtilizaCampoC2 = booleano("UtilizaCampoC2");
    NaoUtilizaCampoC3 = booleano("NaoUtilizaCampoC3");
    UtilizaCampoCodOperador = booleano("UtilizaCampoCodOperador");
    sTipoSaida = ini.ReadString(fSecao, "TipoSaida", "");

    opData = inteiro("opData", 0);
    opCmc7 = inteiro("opCmc7", 0);
    opCompensacao = inteiro("opCompensacao", 1);
    opBanco = inteiro("opBanco", 0);
    opAgencia = inteiro("opAgencia", 0);
    opConta = inteiro("opConta", 0);
    opDigito = inteiro("opDigito", 0);
    opCheque = inteiro("opCheque", 0);
    opTipoDoc = inteiro("opTipoDoc", 0);
    opFacilit = inteiro("opFacilit", 2);
    opEmitente = inteiro("opEmitente", 2);
    opRG = inteiro("opRG", 2);
    opAbertura = inteiro("opAbertura", 2);
    opTelefone = inteiro("opTelefone", 2);
    opNascto = inteiro("opNascto", 2);
    opCodArea = inteiro("opCodArea", 2);
    opDemoPrazos = inteiro("opDemoPrazos", 1);

    // A length the items cannot have (none, negative, or beyond what an edit keeps) is a
    // slip of the configuration: the default stands. The guarantee pads its key to these
    // lengths, so an unchecked one would build strings of any size.
    auto tamanho = [&](const char *chave, int padrao) {
      const int32_t n = inteiro(chave, padrao);
      return n >= 1 && n <= TAMANHO_MAXIMO_ITEM ? n : padrao;
    };
    tmCompensacao = tamanho("tmCompensacao", 3);
    tmBanco = tamanho("tmBanco", 3);
    tmAgencia = tamanho("tmAgencia", 4);
    tmConta = tamanho("tmConta", 10);
    tmDigito = tamanho("tmDigito", 1);
    tmCheque = tamanho("tmCheque", 6);
    tmEmitente = tamanho("tmEmitente", 50);
    tmRG = tamanho("tmRG", 9);
    tmTelefone = tamanho("tmTelefone", 8);
    tmddd = tamanho("tmddd", 4);
    tmFacilit = tamanho("tmFacilit", 15);
  }

  const TIniFile cliente(CaminhoArquivoIni("Cliente.ini"));
  // Only the word "NAO", in any letter case, means no.
  auto sim = [&](const char *chave) {
    return AnsiUpperCase(cliente.ReadString(fSecao, chave, "Sim")) != "NAO";
  };
  struct TLinha {
    int32_t op;
    bool sim;
    std::vector<TControl *> controles;
  };
  const TLinha linhas[] = {
      {opCmc7, sim("Cmc7"), {edCMC7}},
      {opCompensacao, sim("Compensacao"), {lbCompensacao, edCompensacao}},
      {opBanco, sim("Banco"), {edBanco}},
      {opAgencia, sim("Agencia"), {lbAgencia, edAgencia}},
      {opConta, sim("Conta"), {lbConta, edConta}},
      {opDigito, sim("Digito"), {lbDigito, edDigito}},
      {opCheque, sim("Cheque"), {lbCheque, edCheque}},
      {opData, sim("Data"), {lbData, edData}},
      {opTipoDoc, sim("TipoDoc"), {lbTipoDoc, edTipoDoc, lbCPFCGC, edCPFCGC}},
      {opTelefone, sim("Telefone"), {lbDDD, lbTelefone, edDDD, edTelefone}},
      {opCodArea, sim("CodArea"), {lbCodArea, edCodArea}},
      {opRG, sim("RG"), {lbRG, edRG}},
      {opFacilit, sim("Facilit"), {lbCodFacilitador, edFacilitador}},
      {opAbertura, sim("Abertura"), {lbAberturaCC, edAberturaCC}},
      {opEmitente, sim("Emitente"), {lbEmitente, edEmitente}},
      {opNascto, sim("Nascto"), {lbDtNascimento, edDtNascimento}},
  };
  RetornaDetalhesSCPC = cliente.ReadString(fSecao, "RetornaDetalhesSCPC", "");
  TipoServico = cliente.ReadString(fSecao, "TipoServico", "");
  Historico = cliente.ReadString(fSecao, "Historico", "");
  ConfigExtra = cliente.ReadString(fSecao, "ConfigExtra", "");
  DadosCliente = cliente.ReadString(fSecao, "DadosCliente", "");

  for (const TLinha &l : linhas) {
    bool habilita;
    if (l.op == 0)
      habilita = true;
    else if (l.op == 1)
      habilita = false;
    else if (l.op == 2)
      habilita = l.sim;
    else
      continue; // any other value leaves the row as it is
    for (TControl *c : l.controles) c->SetEnabled(habilita);
    if (l.op == 1 && l.controles.front() == edCMC7) edCMC7->Clear();
  }
  // C3 goes with the cheque number, unless the section leaves it out.
  const bool c3 = edCheque->Enabled() && !NaoUtilizaCampoC3;
  Habilita({lbC3, edC3}, c3);

  lbQtdChq->SetVisible(ColetaQtdChq);
  edQtdChq->SetVisible(ColetaQtdChq);
  if (ColetaQtdChq) {
    edQtdChq->SetText(Host().LeCampo(1046, 0));
    edQtdChq->ReadOnly = !edQtdChq->Text().empty();
    if (edQtdChq->Text().empty()) edQtdChq->SetText("1");
  }

  // A maximum length of 0 means no limit.
  auto maximo = [](int n) { return n > 0 ? n : 0; };
  edCompensacao->MaxLength = maximo(tmCompensacao);
  edBanco->MaxLength = maximo(tmBanco);
  edAgencia->MaxLength = maximo(tmAgencia);
  // The configured account length includes its check digit; above 6 the cheque number's
  // includes C3.
  edConta->MaxLength = maximo(tmConta - tmDigito);
  edDigito->MaxLength = maximo(tmDigito);
  edCheque->MaxLength = maximo(tmCheque > 6 ? tmCheque - 1 : tmCheque);
  edEmitente->MaxLength = maximo(tmEmitente);
  edRG->MaxLength = maximo(tmRG);
  edTelefone->MaxLength = maximo(tmTelefone);
  edDDD->MaxLength = maximo(tmddd);
  edFacilitador->MaxLength = maximo(tmFacilit);

  lbC1->SetVisible(UtilizaCampoC1);
  edC1->SetVisible(UtilizaCampoC1);
  lbC2->SetVisible(UtilizaCampoC2);
  edC2->SetVisible(UtilizaCampoC2);
  lbC3->SetVisible(tmCheque > 6);
  edC3->SetVisible(tmCheque > 6);
}

// ---- Initialisation -------------------------------------------------------------------------

void TFrmChq_Trn::PreencheDoCampo(TCustomEdit *controle, int campo) {
  const std::string valor = Host().LeCampo(campo, 0);
  if (valor.empty()) return;
  controle->SetText(valor);
  controle->SetEnabled(false);
}

void TFrmChq_Trn::AplicaMascaraDocumento(bool cpf) {
  edCPFCGC->SetEditMask(cpf ? MASCARA_CPF : MASCARA_CNPJ);
}

void TFrmChq_Trn::IniciaCamposForm() {
  for (TCustomEdit *e : std::initializer_list<TCustomEdit *>{
           edCompensacao, edBanco, edAgencia, edConta, edDigito, edCheque, edTipoDoc, edCPFCGC,
           edEmitente, edAberturaCC, edRG, edDtNascimento, edDDD, edTelefone, edFacilitador,
           edCodArea})
    e->Clear();

  TFrmTrn_Mod::IniciaCamposForm();
  Configura_Consulta();

  struct TLegenda {
    TLabel *rotulo;
    int mensagem;
  };
  const TLegenda legendas[] = {
      {lbCompensacao, 1024}, {lbBanco, 570},        {lbAgencia, 571}, {lbC1, 719},
      {lbConta, 572},        {lbC2, 720},           {lbCheque, 575},  {lbCMC7, 576},
      {lbData, 586},         {lbTipoDoc, 577},      {lbCPFCGC, 578},  {lbEmitente, 579},
      {lbRG, 580},           {lbAberturaCC, 581},   {lbDDD, 582},     {lbTelefone, 583},
      {lbCodArea, 1710},     {lbDtNascimento, 585}, {lbAlerta, 43}};
  for (const TLegenda &l : legendas) l.rotulo->SetCaption(Host().LeMensagens(l.mensagem));
  lbCodFacilitador->SetCaption(Host().LeMensagens(UtilizaCampoCodOperador ? 1101 : 786));

  if (RedeSemSenha(CodigoRede)) captura_senha = false;

  pnDadosCheque->SetVisible(false);
  pnCMC7->SetVisible(false);
  edValor->SetText(Host().Dollar(Host().RemoveFormato(Host().LeCampo(1003, 0))));

  const int modo = ModoEntrada();
  if (modo == 2) {
    pnCMC7->SetVisible(true);
    const std::string cmc7 = Host().LeCampo(1005, 0);
    if (!cmc7.empty()) {
      edQtdChq->SetEnabled(false);
      edCMC7->SetText(cmc7);
      edCMC7->SetEnabled(false);
    }
  } else if (modo == 1) {
    pnDadosCheque->SetVisible(true);
    PreencheDoCampo(edCompensacao, 1214);
    PreencheDoCampo(edConta, 1032);
    if (!edConta->Enabled()) PreencheDoCampo(edDigito, 1033);
    if (UtilizaCampoC2 && !edConta->Enabled()) PreencheDoCampo(edC2, 1257);
    if (!Host().LeCampo(1029, 0).empty()) {
      edQtdChq->SetEnabled(false);
      PreencheDoCampo(edBanco, 1029);
    }
    if (CodigoRede == "200") Habilita({edQtdChq, lbBanco, edBanco}, false);
    PreencheDoCampo(edAgencia, 1030);
    if (UtilizaCampoC1 && !edAgencia->Enabled()) PreencheDoCampo(edC1, 1031);
    PreencheDoCampo(edCheque, 1034);
    if (!edCheque->Enabled()) PreencheDoCampo(edC3, 1035);
  }

  // The cheque date: the host's when it forms a real date (locked), else today.
  if (opData != 1) {
    const std::string v = Host().LeCampo(1008, 0);
    if (v.empty()) {
      edData->SetText(DateToStr(Date()));
    } else {
      TDate data;
      if (!TryStrToDate(DataComBarras(v, true), data)) data = Date();
      edData->SetText(DateToStr(data));
      edData->SetEnabled(false);
    }
  }

  const std::string tipoPessoa = Host().LeCampo(1006, 0);
  if (tipoPessoa == "J") {
    edTipoDoc->SetText("2");
    edTipoDoc->SetEnabled(false);
  } else if (tipoPessoa == "F") {
    edTipoDoc->SetText("1");
    edTipoDoc->SetEnabled(false);
  } else {
    if (tipoPessoa.empty()) {
      const size_t tamanho = Host().LeCampo(1007, 0).size();
      if (tamanho == 11) edTipoDoc->SetText("1");
      if (tamanho == 14) edTipoDoc->SetText("2");
    }
    edTipoDoc->SetEnabled(true);
  }
  if (RedeSemSenha(CodigoRede)) edTipoDoc->SetEnabled(false);

  PreencheDoCampo(edDDD, 1038);
  PreencheDoCampo(edTelefone, 1039);
  const std::string area = Host().LeCampo(1334, 0);
  if (!area.empty()) {
    edCodArea->SetText(Host().PreencherZerosEsquerda(area.substr(0, 2), 2));
    edCodArea->SetEnabled(false);
  }

  const std::string documento = Host().LeCampo(1007, 0);
  if (!documento.empty()) {
    AplicaMascaraDocumento(edTipoDoc->Text() == "1");
    edCPFCGC->SetText(documento);
    edCPFCGC->SetEnabled(false);
  } else {
    AplicaMascaraDocumento(edTipoDoc->Text() != "2");
  }

  PreencheDoCampo(edRG, 1044);
  if (!Host().LeCampo(1186, 0).empty())
    PreencheDoCampo(edFacilitador, 1186);
  else
    PreencheDoCampo(edFacilitador, 1222);
  PreencheDoCampo(edEmitente, 1258);

  const std::string abertura = Host().LeCampo(1200, 0);
  if (!abertura.empty()) {
    edAberturaCC->SetText(DataComBarras(abertura, false));
    edAberturaCC->SetEnabled(false);
  }
  const std::string nascimento = Host().LeCampo(1085, 0);
  if (!nascimento.empty()) {
    edDtNascimento->SetText(DataComBarras(nascimento, true));
    edDtNascimento->SetEnabled(false);
  }
}

// ---- Hints and key filters --------------------------------------------------------------------

void TFrmChq_Trn::MostraDicaTexto(const std::string &texto) {
  lbMensagem->SetVisible(true);
  lbMensagem->SetCaption(texto);
}

void TFrmChq_Trn::MostraDica(int mensagem) {
  MostraDicaTexto(Host().LeMensagens(mensagem));
}

void TFrmChq_Trn::FiltraDigitos(TObject *, char &Key) {
  const char k = Host().ValKeyBoard(Key);
  if (k != VK_BACK && k != VK_RETURN && !Digito(k)) Key = 0;
}

void TFrmChq_Trn::FiltraTipoDoc(TObject *, char &Key) {
  const char k = Host().ValKeyBoard(Key);
  if (k != VK_BACK && k != VK_RETURN && k != '1' && k != '2') {
    Key = 0;
    return;
  }
  AplicaMascaraDocumento(k == '1');
}

void TFrmChq_Trn::FiltraFacilitador(TObject *Sender, char &Key) {
  if (UtilizaCampoCodOperador) {
    Host().ValKeyBoard(Key);
    return;
  }
  FiltraDigitos(Sender, Key);
}

// ---- Validation -------------------------------------------------------------------------------

void TFrmChq_Trn::FocaPrimeiroControle() {
  if (TWinControl *primeiro = FirstControl()) primeiro->SetFocus();
}

void TFrmChq_Trn::Corrige(TWinControl *controle, bool habilita, bool limpa) {
  if (habilita) controle->SetEnabled(true);
  if (limpa) controle->SetText("");
  if (controle->CanFocus()) controle->SetFocus();
}

bool TFrmChq_Trn::Falha(int mensagem) {
  Application->MessageBox(Host().LeMensagens(mensagem), TITULO_APLICACAO,
                          MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
  return false;
}

bool TFrmChq_Trn::FalhaEm(int mensagem, TWinControl *controle, bool habilita, bool limpa) {
  Falha(mensagem);
  Corrige(controle, habilita, limpa);
  return false;
}

bool TFrmChq_Trn::ValidaCamposForm() {
  if (!TFrmTrn_Mod::ValidaCamposForm()) return false;
  auto digitos = [](TCustomEdit *e) { return Host().RemoveFormato(e->Text()); };
  auto dataValida = [](const std::string &texto) {
    TDate d;
    return TryStrToDate(texto, d);
  };

  if (ColetaQtdChq && StrToIntDef(edQtdChq->Text(), -1) <= 0) {
    Falha(1730);
    if (edQtdChq->Enabled())
      Corrige(edQtdChq, false, true);
    else
      FocaPrimeiroControle();
    return false;
  }
  if (edData->Enabled() && (digitos(edData).size() < 8 || !dataValida(edData->Text())))
    return FalhaEm(787, edData, true, true);

  if (opCmc7 == 0) {
    if (!pnCMC7->Visible()) {
      if (opCompensacao == 0 && edCompensacao->Text().empty())
        return FalhaEm(1023, edCompensacao, true, false);
      if (opBanco == 0 && edBanco->Text().empty()) return FalhaEm(804, edBanco, true, false);
      if (opAgencia == 0 && edAgencia->Text().empty()) return FalhaEm(805, edAgencia, true, false);
      if (edC1->Visible() && edC1->Enabled() && Trim(edC1->Text()).empty())
        return FalhaEm(1102, edC1, false, false);
      if (opConta == 0 && edConta->Text().empty()) return FalhaEm(806, edConta, true, false);
      if (opDigito == 0 && edDigito->Text().empty()) return FalhaEm(807, edDigito, true, false);
      if (edC2->Visible() && edC2->Enabled() && Trim(edC2->Text()).empty())
        return FalhaEm(1171, edC2, false, false);
      if (opCheque == 0 && edCheque->Enabled() && edCheque->Text().empty())
        return FalhaEm(808, edCheque, true, false);
      if (opCheque == 0 && edC3->Visible() && edC3->Enabled() && edC3->Text().empty())
        return FalhaEm(1172, edC3, true, false);
    } else if (edCMC7->Enabled() && edCMC7->Text().size() < 30) {
      return FalhaEm(809, edCMC7, true, false);
    }
  }

  if (opTipoDoc == 0 && edTipoDoc->Enabled() && edTipoDoc->Text().empty())
    return FalhaEm(856, edTipoDoc, true, true);
  if (opTipoDoc == 0) {
    const std::string documento = digitos(edCPFCGC);
    if (!Host().VerificaCNPJ(documento) && !Host().VerificaCPF(documento))
      return FalhaEm(803, edCPFCGC, true, true);
  }
  if (opCodArea == 0 && edCodArea->Text().size() < 2) {
    Falha(1711);
    if (edCodArea->Enabled())
      Corrige(edCodArea, true, true);
    else
      FocaPrimeiroControle();
    return false;
  }
  if (edAberturaCC->Enabled()) {
    TDate abertura;
    if (digitos(edAberturaCC).size() < 6 || !TryStrToDate("01/" + edAberturaCC->Text(), abertura))
      return FalhaEm(787, edAberturaCC, true, true);
    // The opening month may be the current one, never a later one. Comparing months avoids
    // forming a day that the opening month does not have.
    const TDate hoje = Date();
    if (abertura.Year * 12 + abertura.Month > hoje.Year * 12 + hoje.Month)
      return FalhaEm(1267, edAberturaCC, true, true);
  }
  if (edDtNascimento->Enabled() &&
      (digitos(edDtNascimento).size() < 8 || !dataValida(edDtNascimento->Text())))
    return FalhaEm(787, edDtNascimento, true, true);
  if (opFacilit == 0 && edFacilitador->Text().empty())
    return FalhaEm(UtilizaCampoCodOperador ? 1104 : 1103, edFacilitador, true, true);
  return true;
}

// ---- Request fields ---------------------------------------------------------------------------

bool TFrmChq_Trn::GravaCamposVelkor() {
  if (!TFrmTrn_Mod::GravaCamposVelkor()) return false;
  auto grava = [](int campo, const std::string &valor) {
    return Host().GravaCampoString(campo, 0, valor) == 0;
  };
  // Writes the field only when the text is not empty; false when the write failed.
  auto gravaSeHouver = [&](int campo, const std::string &valor) {
    return valor.empty() || grava(campo, valor);
  };
  auto digitos = [](TCustomEdit *e) { return Host().RemoveFormato(e->Text()); };

  const std::string tipoDoc = Trim(edTipoDoc->Text());
  if (tipoDoc.empty())
    Host().VelkorLimpaCampo(1006);
  else if (!grava(1006, tipoDoc == "1" ? "F" : "J"))
    return false;
  if (!grava(1008, digitos(edData))) return false;
  if (!grava(1007, digitos(edCPFCGC))) return false;
  if (!gravaSeHouver(1214, edCompensacao->Text())) return false;
  if (!gravaSeHouver(1029, edBanco->Text())) return false;
  if (!gravaSeHouver(1030, edAgencia->Text())) return false;
  if (UtilizaCampoC1 && !gravaSeHouver(1031, edC1->Text())) return false;
  if (UtilizaCampoC2 && !gravaSeHouver(1257, edC2->Text())) return false;
  if (!gravaSeHouver(1033, edDigito->Text())) return false;
  if (!gravaSeHouver(1034, edCheque->Text())) return false;
  if (!gravaSeHouver(1035, edC3->Text())) return false;

  // Code F0 sends none of the optional items: they are neither written nor cleared.
  if (CodigoTransacaoMenu() != 0xF0) {
    // Each buffer is emptied first, so that an item left empty sends an empty text.
    auto item = [&](char *buffer, size_t capacidade, const char *tag, TCustomEdit *e, int campo) {
      std::memset(buffer, 0, capacidade);
      if (e->Text().empty()) return true;
      GravaBufferEtiquetado(buffer, capacidade, tag, e->Text());
      return grava(campo, e->Text());
    };
    // A date edit untouched shows only its mask.
    auto data = [&](char *buffer, size_t capacidade, const char *tag, TMaskEdit *e, int campo,
                    const char *vazio) {
      std::memset(buffer, 0, capacidade);
      if (e->Text().empty() || e->Text() == vazio) return true;
      GravaBufferEtiquetado(buffer, capacidade, tag, digitos(e));
      return grava(campo, digitos(e));
    };
    if (!item(DDDTelefones, sizeof DDDTelefones, "TELD:", edDDD, 1038)) return false;
    if (!item(Telefones, sizeof Telefones, "TEL:", edTelefone, 1039)) return false;
    if (!gravaSeHouver(1334, edCodArea->Text())) return false;
    if (!data(DataNascimento, sizeof DataNascimento, "CHQ5:", edDtNascimento, 1085, kDataVazia))
      return false;
    if (!item(ContaCorrenteOpcional, sizeof ContaCorrenteOpcional, "CHQ1:", edConta, 1032))
      return false;
    if (!item(RGOpcional, sizeof RGOpcional, "CHQ4:", edRG, 1044)) return false;
    std::memset(FacilitOpcional, 0, sizeof FacilitOpcional);
    if (!edFacilitador->Text().empty()) {
      // The operator code travels in the RG's field.
      const int campo = UtilizaCampoCodOperador ? 1044 : 1186;
      if (!grava(campo, edFacilitador->Text())) return false;
      GravaBufferEtiquetado(FacilitOpcional, sizeof FacilitOpcional,
                            UtilizaCampoCodOperador ? "OPR:" : "FAC:", edFacilitador->Text());
    }
    if (!data(DataAberturaOpcional, sizeof DataAberturaOpcional, "CHQ2:", edAberturaCC, 1200,
              kMesAnoVazio))
      return false;
    if (!item(EmitenteOpcional, sizeof EmitenteOpcional, "CHQ3:", edEmitente, 1258)) return false;

    std::memset(aTipoServico, 0, sizeof aTipoServico);
    if (CodigoRede == "10") TipoServico = Trim(Host().LeCampo(1043, 0));
    if (!TipoServico.empty())
      GravaBufferEtiquetado(aTipoServico, sizeof aTipoServico, "CHQ7:", TipoServico);
    std::memset(aRetornaDetalhesSCPC, 0, sizeof aRetornaDetalhesSCPC);
    if (!RetornaDetalhesSCPC.empty())
      GravaBufferEtiquetado(aRetornaDetalhesSCPC, sizeof aRetornaDetalhesSCPC,
                            "CHQ8:", RetornaDetalhesSCPC);
    std::memset(aHistorico, 0, sizeof aHistorico);
    if (Historico == "1") GravaBufferEtiquetado(aHistorico, sizeof aHistorico, "CHQ9:", Historico);
    std::memset(aConfigExtra, 0, sizeof aConfigExtra);
    if (!ConfigExtra.empty())
      GravaBufferEtiquetado(aConfigExtra, sizeof aConfigExtra, "CHQ10:", ConfigExtra);
    std::memset(aDadosCliente, 0, sizeof aDadosCliente);
    if (DadosCliente == "1")
      GravaBufferEtiquetado(aDadosCliente, sizeof aDadosCliente, "RET:", DadosCliente);
  }

  if (!grava(10112, CodigoRede)) return false;
  if (!grava(10102, CodigoRede == "57" || CodigoRede == "96" ? "0" : sReservado)) return false;
  if (ModoEntrada() == 2 && !grava(1005, edCMC7->Text())) return false;
  return true;
}

// ---- Quantity of cheques ----------------------------------------------------------------------

void TFrmChq_Trn::edQtdChqEnter(TObject *) {
  MostraDica(145);
}

void TFrmChq_Trn::HabilitaChequeUnico(bool c3) {
  Habilita({lbCheque, edCheque, lbData, edData}, true);
  Habilita({lbC3, edC3}, c3);
}

int ConsultaChequeTrnCheque::QuantidadeDigitada(TEdit *edQtdChq, char &Key) {
  if (Key != VK_BACK && Key != VK_RETURN && !Digito(Key)) Key = 0;
  if (Key != VK_RETURN) return 0;
  const int n = StrToIntDef(edQtdChq->Text(), 0);
  if (n > 0 && n <= MAX_QTD_CHEQUES) return n;
  Application->MessageBox(CP1252("Quantidade de Cheques Inválida. Informe novamente (máx.25)."),
                          CP1252("Erro - Dados inválidos"), MB_OK | MB_ICONSTOP | MB_TOPMOST);
  edQtdChq->SetText("1");
  Key = 0;
  if (edQtdChq->CanFocus()) edQtdChq->SetFocus();
  return 0;
}

void TFrmChq_Trn::edQtdChqKeyPress(TObject *, char &Key) {
  const int n = QuantidadeDigitada(edQtdChq, Key);
  if (n == 0) return;
  const int modo = ModoEntrada();
  if (n > 1 && sTipoFuncao == "9") {
    // A sequential consultation numbers the cheques itself: no grid.
    if (modo == 1) HabilitaChequeUnico(!NaoUtilizaCampoC3);
    return;
  }
  if (n > 1) {
    Host().GravaCampoString(10101, 0, IntToStr(n));
    AbreGradeCheques(Key);
    return;
  }
  if (modo == 1) HabilitaChequeUnico(true);
}

void TFrmChq_Trn::AbreGradeCheques(char &Key) {
  const int modo = ModoEntrada();
  if (modo == 2) {
    if (!FrmMult_CMC7) FrmMult_CMC7 = Application->CreateForm<TFrmMult_CMC7>();
    FrmMult_CMC7->ValorDigitado = edValor->Text();
    cheque_main::TLiberaForm<TFrmMult_CMC7> libera(FrmMult_CMC7);
    if (FrmMult_CMC7->ShowModal() == mrCancel) {
      Habilita({lbCMC7, edCMC7, lbData, edData}, true);
      Key = 0;
      if (edQtdChq->CanFocus()) edQtdChq->SetFocus();
      return;
    }
    Habilita({lbCMC7, edCMC7, lbData, edData}, false);
    for (TWinControl *c : std::initializer_list<TWinControl *>{
             edTipoDoc, edCPFCGC, edCodArea, edEmitente, edAberturaCC, edFacilitador, edRG,
             edDtNascimento, edDDD, edTelefone, btConfirma}) {
      if (c->CanFocus()) {
        c->SetFocus();
        return;
      }
    }
  } else if (modo == 1) {
    if (!FrmMult_Chq) FrmMult_Chq = Application->CreateForm<TFrmMult_Chq>();
    FrmMult_Chq->ValorDigitado = edValor->Text();
    cheque_main::TLiberaForm<TFrmMult_Chq> libera(FrmMult_Chq);
    if (FrmMult_Chq->ShowModal() == mrCancel) {
      HabilitaChequeUnico(true);
      Key = 0;
      if (edQtdChq->CanFocus()) edQtdChq->SetFocus();
      return;
    }
    Habilita({lbCheque, edCheque, lbC3, edC3, lbData, edData}, false);
    if (edCompensacao->CanFocus())
      edCompensacao->SetFocus();
    else if (edBanco->CanFocus())
      edBanco->SetFocus();
  }
}

void TFrmChq_Trn::edQtdChqExit(TObject *) {
  // Leaving for a button (confirm or cancel) opens no grid.
  if (dynamic_cast<TButtonControl *>(Receiving())) return;
  if (StrToIntDef(Trim(edQtdChq->Text()), 0) > 1) {
    char Key = VK_RETURN;
    if (edQtdChq->OnKeyPress) edQtdChq->OnKeyPress(edQtdChq, Key);
  }
}
