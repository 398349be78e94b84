#include "screens/consulta/Cons70Cheque.h"

#include <algorithm>

#include "host/Host.h"
#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"
#include "screens/coleta/ColetaDadosMultiplos.h"
#include "screens/consulta/LayoutsConsulta.h"

using namespace ConsultaChequeTrnCheque;

namespace {

constexpr char kSeparadorPadrao = '\x04';

void DefineTipoEntradaCheque(char tipo) {
  Cons70Cheque::TipoEntradaCheque[0] = tipo;
  Cons70Cheque::TipoEntradaCheque[1] = '\0';
}

} // namespace

int TipoEntradaManual(const std::string &tipoEntChqManual) {
  return StrToIntDef(tipoEntChqManual, 2);
}

std::string DadosChequeUnico(const TChequeDigitado &c, const std::string &tipoEntChqManual,
                             bool usaC1, bool usaC2) {
  const int tipo = TipoEntradaManual(tipoEntChqManual);
  const std::string s(1, tipo == 3 ? ';' : kSeparadorPadrao);
  std::string v = c.Compensacao + s + c.Banco + s + c.Agencia;
  if (tipo == 3 && usaC1) v += s + c.C1;
  v += s + c.Conta + c.Digito;
  if ((tipo == 2 || tipo == 3) && usaC2) v += s + c.C2;
  v += s + c.Cheque + (tipo == 3 ? s : std::string()) + c.C3;
  return v;
}

std::string DadosChequeMultiplo(const TChequeDigitado &c, const std::string &tipoEntChqManual,
                                bool usaC1, bool usaC2, const std::string &numero,
                                const std::string &c3) {
  const int tipo = TipoEntradaManual(tipoEntChqManual);
  const std::string d = c3.substr(0, 1);
  if (tipo == 3) {
    const std::string s = ";";
    std::string v = c.Compensacao + s + c.Banco + s + c.Agencia;
    if (usaC1) v += s + c.C1;
    return v + s + c.Conta + s + c.Digito + s + numero + s + d;
  }
  const std::string s(1, kSeparadorPadrao);
  std::string v = c.Compensacao + s + c.Banco + s + c.Agencia + s + c.Conta + c.Digito;
  if (tipo == 2 && usaC2) v += s + c.C2;
  return v + s + numero + d;
}

TFrmCon_Chq70::TFrmCon_Chq70(TComponent *AOwner) : TFrmChq_Trn(AOwner) {
  Name = "FrmCon_Chq70";
  SetCaption("FrmCon_Chq70");
  edC1->MaxLength = 1;
}

void TFrmCon_Chq70::IniciaCamposForm() {
  TFrmChq_Trn::IniciaCamposForm();
  LayoutRequisicao = &TrnConsultaCheque70;
}

bool TFrmCon_Chq70::GravaCamposVelkor() {
  if (!TFrmChq_Trn::GravaCamposVelkor()) return false;
  auto grava = [](int campo, int indice, const std::string &valor) {
    return Host().GravaCampoString(campo, indice, valor) == 0;
  };

  // The code-70 request takes the person type as "1" company, "2" individual.
  if (Trim(IntToStr(opTipoDoc)) != "1" && !grava(1006, 0, edTipoDoc->Text() == "2" ? "1" : "2"))
    return false;
  const int n = StrToIntDef(edQtdChq->Text(), 1);
  if (!grava(1046, 0, IntToStr(n))) return false;
  if (!grava(10158, 0, sTipoFuncao)) return false;
  // No more cheques go out than the grids can collect.
  const int cheques = std::min(n, TFrmMult_Mod::MAX_CHEQUES);

  const int modo = ModoEntrada();
  if (modo == 2) {
    DefineTipoEntradaCheque('0');
    if (Host().LeCampo(1005, 0).empty()) {
      // The CMC-7 grid wrote the cheques (10165 to 10167) itself.
      DefineQuantidadeChequesConsulta70(static_cast<uint16_t>(std::max(cheques, 0)));
      return true;
    }
    return grava(10167, 0, edCMC7->Text()) && grava(10166, 0, Host().LeCampo(1008, 0)) &&
           grava(10165, 0, Host().LeCampo(1003, 0));
  }
  if (modo != 1) return true;

  DefineTipoEntradaCheque(TipoEntChqManual.empty() ? '2' : TipoEntChqManual[0]);
  const TChequeDigitado cheque = ChequeDigitado();
  if (n == 1)
    return grava(10167, 0,
                 DadosChequeUnico(cheque, TipoEntChqManual, UtilizaCampoC1, UtilizaCampoC2)) &&
           grava(10166, 0, Host().LeCampo(1008, 0)) && grava(10165, 0, Host().LeCampo(1003, 0));
  if (n > 1) {
    // Every form sends as many cheques as it writes.
    DefineQuantidadeChequesConsulta70(static_cast<uint16_t>(cheques));
    for (int i = 0; i < cheques; ++i) {
      const std::string numero = Host().LeCampo(10163, i);
      const std::string c3 = Host().LeCampo(10164, i);
      if (!grava(10167, i,
                 DadosChequeMultiplo(cheque, TipoEntChqManual, UtilizaCampoC1, UtilizaCampoC2,
                                     numero, c3)))
        return false;
    }
  }
  return true;
}
