#include "screens/menus/MenuCheque.h"

#include <iterator>

#include "host/Host.h"
#include "platform/system/IniFiles.h"
#include "platform/text/StrUtils.h"
#include "screens/cancelamento/CancelamentoGarantiaCheque7C.h"
#include "screens/cancelamento/CancelamentoGarantiaVenezuela.h"
#include "screens/cancelamento/CancelamentoTrnGarantia.h"
#include "screens/consulta/Cons70ChequeConsulta.h"
#include "screens/consulta/Cons70ChequeConsultaSequencial.h"
#include "screens/consulta/Cons70ChequeGarantia.h"
#include "screens/consulta/Cons72Cheque.h"
#include "screens/consulta/Cons74Cheque.h"
#include "screens/consulta/Cons78Cheque.h"
#include "screens/consulta/Cons7CCheque.h"
#include "screens/consulta/Cons7CGarantiaChq.h"
#include "screens/consulta/ConsF0Cheque.h"
#include "screens/menus/MenuTipoDadosCheque.h"
#include "screens/menus/SelecionaTipoConsultaCheque.h"

TFrmRedes_Mnu *FrmRedes_Mnu = nullptr;
int32_t Transacao = 0;
int32_t QualTransacao[9] = {};
int32_t TipoFuncao[9] = {};
int32_t aCodRede[9] = {};
bool ImprimeCupom = false;

namespace {

// First match wins: the specific rows of a code come before its catch-all.
const TTelaMenu TabelaTelas[] = {
    // code  function  network   screen                 opener
    {70, 7, 96, "FrmGarVenez_Cnc", AbreTela<TFrmGarVenez_Cnc, FrmGarVenez_Cnc>},
    {70, 7, QUALQUER, "FrmCancGarantia_Mod", AbreTela<TFrmCancGarantia_Mod, FrmCancGarantia_Mod>},
    {70, 2, QUALQUER, "FrmCon_Gar", AbreTela<TFrmCon_Gar, FrmCon_Gar>},
    {70, 9, QUALQUER, "FrmCon_ConSeq", AbreTela<TFrmCon_ConSeq, FrmCon_ConSeq>},
    {70, QUALQUER, QUALQUER, "FrmCon_Con", AbreTela<TFrmCon_Con, FrmCon_Con>},
    {72, QUALQUER, QUALQUER, "FrmCon_Chq72", AbreTela<TFrmCon_Chq72, FrmCon_Chq72>},
    {74, QUALQUER, QUALQUER, "FrmCon_Chq74", AbreTela<TFrmCon_Chq74, FrmCon_Chq74>},
    {78, QUALQUER, QUALQUER, "FrmCon_Chq78", AbreTela<TFrmCon_Chq78, FrmCon_Chq78>},
    {124, 1, QUALQUER, "FrmCon_Chq7C", AbreTela<TFrmCon_Chq7C, FrmCon_Chq7C>},
    {124, 2, QUALQUER, "FrmGarChq_7C", AbreTela<TFrmGarChq_7C, FrmGarChq_7C>},
    {124, 3, QUALQUER, "FrmGarChq7C_Cnc", AbreTela<TFrmGarChq7C_Cnc, FrmGarChq7C_Cnc>},
    {240, QUALQUER, QUALQUER, "FrmCon_ChqF0", AbreTela<TFrmCon_ChqF0, FrmCon_ChqF0>},
};

// Marks the menu as settling a choice for as long as it lives.
class TEscolhaEmAndamento {
public:
  explicit TEscolhaEmAndamento(TFrmRedes_Mnu &menu) : fMenu(menu) {
    fMenu.EscolhaEmAndamento = true;
  }
  ~TEscolhaEmAndamento() { fMenu.EscolhaEmAndamento = false; }
  TEscolhaEmAndamento(const TEscolhaEmAndamento &) = delete;
  TEscolhaEmAndamento &operator=(const TEscolhaEmAndamento &) = delete;

private:
  TFrmRedes_Mnu &fMenu;
};

bool Casa(int esperado, int valor) {
  return esperado == QUALQUER || esperado == valor;
}

void ZeraGlobais() {
  FrmRedes_Mnu = nullptr;
  Transacao = 0;
  for (int n = 0; n < 9; ++n) QualTransacao[n] = TipoFuncao[n] = aCodRede[n] = 0;
  ImprimeCupom = false;
}
TRegistroUnidade Registro(&ZeraGlobais, &ZeraGlobais);

} // namespace

const TTelaMenu *ProcuraTelaMenu(int codigo, int funcao, int rede) {
  for (const TTelaMenu &t : TabelaTelas)
    if (t.codigo == codigo && Casa(t.funcao, funcao) && Casa(t.rede, rede)) return &t;
  return nullptr;
}

TFrmRedes_Mnu::TFrmRedes_Mnu(TComponent *AOwner) : TFrmMnu_Mod(AOwner) {
  Name = "FrmRedes_Mnu";
  AjustaLarguraMenu(280, 277);
  spOpcao1->OnClick = [this](TObject *s) { spOpcao1Click(s); };
  spOpcao2->OnClick = [this](TObject *s) { spOpcao2Click(s); };
  spOpcao3->OnClick = [this](TObject *s) { spOpcao3Click(s); };
  spOpcao4->OnClick = [this](TObject *s) { spOpcao4Click(s); };
  spOpcao5->OnClick = [this](TObject *s) { SpOpcao5Click(s); };
  spOpcao6->OnClick = [this](TObject *s) { SpOpcao6Click(s); };
  spOpcao7->OnClick = [this](TObject *s) { SpOpcao7Click(s); };
  spOpcao8->OnClick = [this](TObject *s) { SpOpcao8Click(s); };
}

void TFrmRedes_Mnu::IniciaFormularioMenu() {
  TipoEntrada = 0;
  lbTitulo->SetCaption(Host().LeMensagens(456));
  spEncerra->SetCaption(Host().LeMensagens(330));
  spEncerra->SetVisible(true);

  const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
  const std::vector<std::string> secoes = ini.ReadSections();
  size_t proxima = 0;
  for (int n = 1; n <= NUM_OPCOES && proxima < secoes.size(); ++n) {
    TBitBtn *botao = Opcao(n);
    botao->SetVisible(false);
    for (size_t i = proxima; i < secoes.size(); ++i) {
      const std::string &secao = secoes[i];
      if (ini.ReadInteger(secao, "habilitado", 0) != 1) continue;
      botao->SetCaption("&" + IntToStr(n) + " - " + Trim(secao));
      QualTransacao[n] = ini.ReadInteger(secao, "CodigoTrn", 0);
      TipoFuncao[n] = ini.ReadInteger(secao, "TipoFuncao", 0);
      aCodRede[n] = ini.ReadInteger(secao, "CodigoRede", 0);
      botao->SetVisible(true);
      proxima = i + 1;
      break;
    }
    // When no enabled section is left, this option stays hidden and so do the following.
  }
}

void TFrmRedes_Mnu::VerificaOpcoesHabilitadas() {}

void TFrmRedes_Mnu::OpcaoEscolhida(int n) {
  Transacao = n;
  const std::string legenda = Opcao(n)->Caption();
  SecaoConfiguracao = legenda.size() > 5 ? legenda.substr(5) : std::string();
  Escolhe_a_transacao();
}

void TFrmRedes_Mnu::spOpcao1Click(TObject *) {
  OpcaoEscolhida(1);
}
void TFrmRedes_Mnu::spOpcao2Click(TObject *) {
  OpcaoEscolhida(2);
}
void TFrmRedes_Mnu::spOpcao3Click(TObject *) {
  OpcaoEscolhida(3);
}
void TFrmRedes_Mnu::spOpcao4Click(TObject *) {
  OpcaoEscolhida(4);
}
void TFrmRedes_Mnu::SpOpcao5Click(TObject *) {
  OpcaoEscolhida(5);
}
void TFrmRedes_Mnu::SpOpcao6Click(TObject *) {
  OpcaoEscolhida(6);
}
void TFrmRedes_Mnu::SpOpcao7Click(TObject *) {
  OpcaoEscolhida(7);
}
void TFrmRedes_Mnu::SpOpcao8Click(TObject *) {
  OpcaoEscolhida(8);
}

void TFrmRedes_Mnu::Escolhe_a_transacao() {
  bool seguir = false;
  {
    TEscolhaEmAndamento emAndamento(*this);
    VerificaHabilitaMenuCodigoConsulta();
    seguir = VerificaSelecionaPrimeiraLinhaCheque_CMC7();
  }
  if (!seguir) {
    SelectFirst();
    return;
  }
  const int n = Transacao;
  const TTelaMenu *tela = ProcuraTelaMenu(QualTransacao[n], TipoFuncao[n], aCodRede[n]);
  if (tela) AbreTelaOuAvisa(tela->abre, FrmRedes_Mnu, tela->nomeForm);
}

void TFrmRedes_Mnu::VerificaHabilitaMenuCodigoConsulta() {
  const TIniFile ini(CaminhoArquivoIni("Cheque.ini"));
  ListaTipoConsulta = ini.ReadString(SecaoConfiguracao, "opMenu", "");
  if (ListaTipoConsulta.empty()) return;
  TFrmTipoConsulta_Mod *selecao = Application->CreateForm<TFrmTipoConsulta_Mod>();
  cheque_main::TLiberaForm<TFrmTipoConsulta_Mod> libera(selecao);
  selecao->ShowModal();
}

bool TFrmRedes_Mnu::VerificaSelecionaPrimeiraLinhaCheque_CMC7() {
  const TIniFile cheque(CaminhoArquivoIni("Cheque.ini"));
  const TIniFile cliente(CaminhoArquivoIni("Cliente.ini"));
  const int opCmc7 = cheque.ReadInteger(SecaoConfiguracao, "opCmc7", 0);
  const int opBanco = cheque.ReadInteger(SecaoConfiguracao, "opBanco", 0);
  const std::string cmc7 = cliente.ReadString(SecaoConfiguracao, "Cmc7", "Sim");
  const std::string banco = cliente.ReadString(SecaoConfiguracao, "Banco", "Sim");
  const std::string campoCmc7 = Host().LeCampo(1005, 0);
  const std::string campoBanco = Host().LeCampo(1029, 0);

  int formas = 0;
  if (opCmc7 == 0 || (opCmc7 == 1 && AnsiUpperCase(cmc7) == "SIM")) formas = 2;
  if (opBanco == 0 || (opBanco == 1 && AnsiUpperCase(banco) == "SIM")) formas += 1;

  if (formas == 2 || (formas == 3 && !campoCmc7.empty())) {
    TipoEntrada = 2;
    return true;
  }
  if (formas == 1 || (formas == 3 && !campoBanco.empty())) {
    TipoEntrada = 1;
    return true;
  }
  if (formas == 0) {
    TipoEntrada = 0;
    return true;
  }
  // Both ways are allowed and the host holds neither line: the operator says which.
  TFrmSelTipoDadosChq_Mnu *tipoDados = Application->CreateForm<TFrmSelTipoDadosChq_Mnu>();
  int escolheu = 0;
  {
    cheque_main::TLiberaForm<TFrmSelTipoDadosChq_Mnu> libera(tipoDados);
    tipoDados->ShowModal();
    escolheu = tipoDados->Tag;
  }
  if (escolheu == 1) return true;
  ModalResult = mrOk;
  return false;
}
