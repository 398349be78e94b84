#include "screens/parametros/ObtemParametros.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "module/ChequeMain.h"
#include "platform/text/Cp1252.h"
#include "platform/text/StrUtils.h"

using namespace cheque::layout;

const TRequestLayout TrnObtemParametrosTaxasTeleCheque =
    MontaLayout(0xF0, {Campo(10112), Campo(10171), Texto("0")});

TFrmObtemPar_Mod *FrmObtemPar_Mod = nullptr;

namespace {

// The merchant data the rate request needs, in the order they are checked, each with the
// message that names it.
struct TDadoEstabelecimento {
  int campo, mensagem;
};
constexpr TDadoEstabelecimento kDadosEstabelecimento[] = {
    {1051, 1124}, {1079, 1134}, {1050, 1123}, {1080, 1125}, {1095, 1135}};

// The only record kind that carries rate parameters.
constexpr char kRegistroTaxas = '3';
// How much of the record after its kind byte the parameters may take.
constexpr size_t kTamanhoParametros = 1000;

// Network texts and the merchant-data messages are information, not warnings: no icon.
void MostraInformacao(const std::string &texto) {
  Application->MessageBox(texto, TITULO_APLICACAO, MB_OK | MB_TOPMOST);
}

// Texts for the point of sale go in with their exact length (they may end in blanks).
void GravaTexto(int campo, const std::string &texto) {
  const size_t tamanho = std::min<size_t>(texto.size(), UINT16_MAX);
  Host().VelkorGravaCampo(campo, 0, texto.data(), static_cast<uint16_t>(tamanho));
}

// The host's result code: a missing or non-numeric one means the network did not answer.
int CodigoResposta() {
  return StrToIntDef(Trim(Host().LeCampo(1009, 0)), 255);
}

} // namespace

TFrmObtemPar_Mod::TFrmObtemPar_Mod(TComponent *AOwner) : TFrmMod(AOwner) {
  Name = "FrmObtemPar_Mod";
  PnCaptura = CriaPainelCaptura("PnCaptura", 24, 106, 580, 210, 0);
  lbAlerta = CriaRotulo(PnCaptura, "lbAlerta", 5, 89, 569, 30,
                        CP1252("Aguarde... Carregando Parâmetros da Tabela de Taxas"));
  lbAlerta->Alignment = taCenter;
  FonteArialNegrito(lbAlerta, 14, COR_MARINHO);
}

void TFrmObtemPar_Mod::FormCreate(TObject *Sender) {
  TFrmMod::FormCreate(Sender);
  IniciaCamposForm();
}

void TFrmObtemPar_Mod::IniciaCamposForm() {
  lbTitulo->SetCaption(Host().LeMensagens(1132));
  lbAlerta->SetCaption(Host().LeMensagens(1133));
  fDadosCompletos = VerificaDadosEstabelecimento();
}

// Stops at the first datum the host does not hold and leaves that in the store for the
// point of sale: 1009 "FF" and the datum's message in 1027, saved at once.
bool TFrmObtemPar_Mod::VerificaDadosEstabelecimento() {
  for (const TDadoEstabelecimento &d : kDadosEstabelecimento) {
    if (!Trim(Host().LeCampo(d.campo, 0)).empty()) continue;
    const std::string mensagem = Host().LeMensagens(d.mensagem);
    MostraInformacao(mensagem);
    Host().GravaCampoString(1009, 0, "FF");
    GravaTexto(1027, mensagem);
    Host().VelkorGravaArquivo();
    ModalResult = mrOk;
    if (d.campo == 1050) Close();
    return false;
  }
  return true;
}

bool TFrmObtemPar_Mod::Executa_Consulta_Parametros() {
  LayoutRequisicao = &TrnObtemParametrosTaxasTeleCheque;
  // A load that stops before the answer must not show or report the last load's text.
  linhas_serv_D.clear();
  if (Host().GravaCampoString(10112, 0, "117") != 0) return false;
  if (Host().GravaCampoString(1106, 0, Host().LeCampo(1106, 0)) != 0) return false;
  Host().AutorizaTransacao(LayoutRequisicao, reinterpret_cast<THandle>(lbMensagem), 0);
  linhas_serv_D = Host().LeCampo(20013, 0);
  if (CodigoResposta() != 0) return false;
  if (!linhas_serv_D.empty()) MostraInformacao(linhas_serv_D);

  // The record is read into the module's fixed buffer: a longer one is cut to it, and a
  // shorter one must not inherit the tail of the previous load.
  std::string registro;
  Host().VelkorLeCampo(20033, 0, registro, sizeof ServicoX_ObtemParametros);
  std::memset(ServicoX_ObtemParametros, 0, sizeof ServicoX_ObtemParametros);
  // NOLINTNEXTLINE(bugprone-not-null-terminated-result): a record, read with strnlen
  std::memcpy(ServicoX_ObtemParametros, registro.data(),
              std::min(registro.size(), sizeof ServicoX_ObtemParametros));
  if (ServicoX_ObtemParametros[0] == kRegistroTaxas) {
    const char *parametros = reinterpret_cast<const char *>(ServicoX_ObtemParametros) + 1;
    GravaTexto(1204, Trim(std::string(parametros, strnlen(parametros, kTamanhoParametros))));
  }
  return true;
}

bool TFrmObtemPar_Mod::Realiza_Consulta_Parametros() {
  if (Executa_Consulta_Parametros()) {
    Host().GravaCampoString(1009, 0, "FF");
    GravaTexto(1027, linhas_serv_D);
    Hide();
    ModalResult = mrOk;
    return true;
  }
  Hide();
  if (!linhas_serv_D.empty()) MostraInformacao(linhas_serv_D);
  if (CodigoResposta() == 255) GravaTexto(1027, Host().LeMensagens(1055));
  Host().EnviaArquivoErroPDV(255, linhas_serv_D);
  return false;
}
