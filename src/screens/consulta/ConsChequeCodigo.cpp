#include "screens/consulta/ConsChequeCodigo.h"

#include "host/Host.h"
#include "screens/consulta/Cons70Cheque.h"
#include "screens/consulta/LayoutsConsulta.h"

using namespace ConsultaChequeTrnCheque;

namespace {

// Characters `de` to `ate` (counted from 1) of `s`, as many of them as it has.
std::string Trecho(const std::string &s, size_t de, size_t ate) {
  return de - 1 < s.size() ? s.substr(de - 1, ate - de + 1) : std::string();
}

std::string ContaEtiquetada(const std::string &conta, const std::string &digito) {
  return "CHQ1:" + conta + ";" + digito;
}

} // namespace

std::string DadosChequeCodigos7CF0(const TChequeDigitado &c, const std::string &tipoEntChqManual,
                                   bool usaC1) {
  const std::string &n = c.Cheque;
  const std::string inicio = n.empty() ? n : n.substr(0, n.size() - 1);
  const std::string ultimo = n.empty() ? n : n.substr(n.size() - 1);
  return DadosChequeMultiplo(c, tipoEntChqManual, usaC1, false, inicio, ultimo);
}

TFrmCon_ChqCodigo::TFrmCon_ChqCodigo(TComponent *AOwner, const char *nome, TRequestLayout &layout,
                                     bool titulo)
    : TFrmChq_Trn(AOwner), fLayout(layout), fTitulo(titulo) {
  Name = nome;
  SetCaption(nome);
}

void TFrmCon_ChqCodigo::IniciaCamposForm() {
  TFrmChq_Trn::IniciaCamposForm();
  LayoutRequisicao = &fLayout;
  if (fTitulo) lbTitulo->SetCaption(Host().LeMensagens(456));
}

bool TFrmCon_ChqCodigo::GravaCamposVelkor() {
  return TFrmChq_Trn::GravaCamposVelkor() && GravaCamposCodigo();
}

bool TFrmCon_ChqCodigo::Grava(int campo, const std::string &valor) {
  return Host().GravaCampoString(campo, 0, valor) == 0;
}

bool TFrmCon_ChqCodigo::LidoPorCmc7() {
  return !Host().LeCampo(1005, 0).empty();
}

TFrmCon_ChqCodigo::TPrimeiraLinha TFrmCon_ChqCodigo::PrimeiraLinhaDigitada() const {
  return {edBanco->Text(), edAgencia->Text(), edCheque->Text(),
          ContaEtiquetada(edConta->Text(), edDigito->Text())};
}

TFrmCon_ChqCodigo::TPrimeiraLinha TFrmCon_ChqCodigo::PrimeiraLinhaCmc7(const std::string &linha) {
  return {Trecho(linha, 1, 3), Trecho(linha, 4, 7), Trecho(linha, 12, 18),
          ContaEtiquetada(Trecho(linha, 22, 28), Trecho(linha, 29, 29))};
}

bool TFrmCon_ChqCodigo::GravaPrimeiraLinha(const TPrimeiraLinha &l) {
  return Grava(1029, l.banco) && Grava(1030, l.agencia) && Grava(1034, l.cheque);
}

bool TFrmCon_ChqCodigo::GravaPessoaQuantidadeFuncao() const {
  return Grava(1006, edTipoDoc->Text() == "2" ? "1" : "2") && Grava(1046, "1") &&
         Grava(10158, sTipoFuncao);
}

void TFrmCon_ChqCodigo::PreencheChequeETelefones(char (&dados)[41], char (&tipoEntrada)[2]) const {
  if (LidoPorCmc7()) {
    CopiaBuffer(tipoEntrada, "0");
    CopiaBuffer(dados, edCMC7->Text());
  } else {
    CopiaBuffer(tipoEntrada, TipoEntChqManual.empty() ? "2" : TipoEntChqManual.substr(0, 1));
    CopiaBuffer(dados, DadosChequeCodigos7CF0(ChequeDigitado(), TipoEntChqManual, UtilizaCampoC1));
  }
  CopiaBuffer(DDDTelefones, edDDD->Text());
  CopiaBuffer(Telefones, edTelefone->Text());
}
