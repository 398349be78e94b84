// The request fields and tagged buffers of the consultation screen, and the request the
// network receives.
#include "test_consulta_util.h"

#include <cstring>

namespace {

using namespace ConsultaChequeTrnCheque;

class GravacaoTest : public ConsultaTeste {};

const std::string S = "\x04";
const char *const A = "<ausente>"; // the store has no such field

TEST_F(GravacaoTest, ConsultaDigitadaEnviaCadaCampoEBufferNaOrdemDoLayout) {
  Configura("CodigoRede=12\r\nUtilizaCampoC1=1\r\nUtilizaCampoC2=1\r\nopCompensacao=0\r\n"
            "tmCheque=7\r\nopCodArea=0\r\nopFacilit=0",
            "TipoServico=05\r\nRetornaDetalhesSCPC=S\r\nHistorico=1\r\nConfigExtra=X1\r\n"
            "DadosCliente=1");
  Menu(1);
  host.Set(1003, 0, "15000");
  auto *tela = Application->CreateForm<TFrmCon_Con>();
  const TScriptRun r = Executa(tela, "click edCompensacao\ntype 018\n"
                                     "click edBanco\ntype 1\n"
                                     "click edAgencia\ntype 23\n"
                                     "click edC1\ntype 4\n"
                                     "click edConta\ntype 456\n"
                                     "click edDigito\ntype 7\n"
                                     "click edC2\ntype 8\n"
                                     "click edCheque\ntype 123456\n"
                                     "click edC3\ntype 9\n"
                                     "click edTipoDoc\ntype 2\n"
                                     "click edCPFCGC\ntype 11222333000181\n"
                                     "click edCodArea\ntype 11\n"
                                     "click edEmitente\ntype Jose da Silva\n"
                                     "click edAberturaCC\ntype 052020\n"
                                     "click edRG\ntype 1234567\n"
                                     "click edFacilitador\ntype 99\n"
                                     "click edDtNascimento\ntype 01021980\n"
                                     "click edDDD\ntype 011\n"
                                     "click edTelefone\ntype 5551234\n"
                                     "click btConfirma\n");
  ASSERT_EQ(r.error, "") << r.screen;
  EXPECT_EQ(r.result, mrOk);
  EXPECT_EQ(host.RequestCodes(), std::vector<uint32_t>{0x70});
  EXPECT_EQ(Requisicao(),
            (std::vector<std::string>{
                "10112[0]=12",
                "10171[0] ausente",
                "10102[0]=12",
                "10158[0]=1",
                "1003[0]=15000",
                "1006[0]=1", // company, as code 70 sends it
                "1007[0]=11222333000181",
                "1046[0]=1",
                "grupo 10162 x1/4",
                "10166[0]=15062024",
                "10165[0]=15000",
                "'2'",
                "10167[0]=018" + S + "1" + S + "23" + S + "4567" + S + "8" + S + "1234569",
                "10146[0] ausente",
                "'TELD:011'",
                "'TEL:5551234'",
                "'CHQ2:052020'",
                "'CHQ3:JOSE DA SILVA'",
                "'CHQ4:1234567'",
                "'CHQ5:01021980'",
                "'CHQ7:05'",
                "'CHQ8:S'",
                "'CHQ9:1'",
                "'CHQ10:X1'",
                "'RET:1'",
                "'FAC:99'",
                "''",
                "1334[0]=11 CODAREA:",
            }));
  // Only the amounts carry an attribute byte (4).
  for (const auto &e : host.Requests()[0]) {
    const bool valor = e.campo == 1003 || e.campo == 10165;
    EXPECT_EQ(e.atributos[0], valor ? 4 : 0) << e.campo;
    EXPECT_EQ(e.atributos[1] | e.atributos[2], 0) << e.campo;
  }
  // The saved store: what the point of sale reads (the person type back as a letter).
  const std::pair<int, const char *> salvos[] = {
      {1006, "J"},        {1008, "15062024"}, {1214, "018"},
      {1029, "1"},        {1030, "23"},       {1031, "4"},
      {1257, "8"},        {1033, "7"},        {1034, "123456"},
      {1035, "9"},        {1038, "011"},      {1039, "5551234"},
      {1085, "01021980"}, {1032, "456"},      {1044, "1234567"},
      {1186, "99"},       {1200, "052020"},   {1258, "JOSE DA SILVA"},
      {1334, "11"},       {10112, "12"},      {10102, "12"},
      {1046, "1"},        {10158, "1"}};
  EXPECT_EQ(host.SaveCount(), 1);
  for (const auto &[campo, valor] : salvos) EXPECT_EQ(Salvo(campo), valor) << campo;
  EXPECT_EQ(Salvo(1005), "<ausente>");
}

// GravaCamposVelkor of the consultation screen alone, on a screen initialised as if shown.
struct CasoGravacao {
  const char *nome;
  std::string chaves, cliente;
  int modo = 1, codigo = 70;
  std::vector<std::pair<int, std::string>> campos; // the host's fields
  std::function<void(TFrmChq_Trn &)> ajusta;
  std::vector<std::pair<int, std::string>> esperados; // A: absent
  std::vector<std::pair<const char *, std::string>> buffers;
  bool resultado = true;
};

const char *Buffer(const std::string &nome) {
  static const std::pair<const char *, const char *> buffers[] = {
      {"DDDTelefones", DDDTelefones},
      {"Telefones", Telefones},
      {"DataNascimento", DataNascimento},
      {"ContaCorrenteOpcional", ContaCorrenteOpcional},
      {"RGOpcional", RGOpcional},
      {"FacilitOpcional", FacilitOpcional},
      {"DataAberturaOpcional", DataAberturaOpcional},
      {"EmitenteOpcional", EmitenteOpcional},
      {"aTipoServico", aTipoServico},
      {"aRetornaDetalhesSCPC", aRetornaDetalhesSCPC},
      {"aHistorico", aHistorico},
      {"aConfigExtra", aConfigExtra},
      {"aDadosCliente", aDadosCliente}};
  for (const auto &b : buffers)
    if (nome == b.first) return b.second;
  return nullptr;
}

TEST_F(GravacaoTest, CamposEBuffersPorCaso) {
  const std::string emitente(60, 'E');
  const CasoGravacao casos[] = {
      {"tipo de documento em branco",
       "CodigoRede=12",
       "",
       1,
       70,
       {{1006, "F"}},
       [](TFrmChq_Trn &t) { t.edTipoDoc->SetText(" "); },
       {{1006, A}, {1007, ""}, {1008, "15062024"}},
       {}},
      {"tipo 2",
       "CodigoRede=12",
       "",
       1,
       70,
       {},
       [](TFrmChq_Trn &t) { t.edTipoDoc->SetText("2"); },
       {{1006, "J"}},
       {}},
      {"nascimento intocado",
       "CodigoRede=12",
       "",
       1,
       70,
       {},
       nullptr,
       {{1085, A}, {1200, A}, {1038, A}},
       {{"DataNascimento", ""}, {"DataAberturaOpcional", ""}, {"DDDTelefones", ""}}},
      {"codigo de operador no campo do RG",
       "CodigoRede=12\r\nUtilizaCampoCodOperador=1",
       "",
       1,
       70,
       {},
       [](TFrmChq_Trn &t) {
         t.edRG->SetText("RG55");
         t.edFacilitador->SetText("OP7");
       },
       {{1044, "OP7"}, {1186, A}},
       {{"RGOpcional", "CHQ4:RG55"}, {"FacilitOpcional", "OPR:OP7"}}},
      {"rede 57",
       "CodigoRede=57\r\nReservado=33",
       "",
       1,
       70,
       {},
       nullptr,
       {{10112, "57"}, {10102, "0"}},
       {}},
      {"rede 96", "CodigoRede=96", "", 1, 70, {}, nullptr, {{10102, "0"}}, {}},
      {"reservado ausente", "CodigoRede=45", "", 1, 70, {}, nullptr, {{10102, "45"}}, {}},
      {"rede 10 leva o tipo de consulta",
       "CodigoRede=10",
       "TipoServico=01\r\nHistorico=2",
       1,
       70,
       {{1043, " 07 "}},
       nullptr,
       {},
       {{"aTipoServico", "CHQ7:07"}, {"aHistorico", ""}, {"aDadosCliente", ""}}},
      {"codigo F0 nao grava os opcionais",
       "CodigoRede=200",
       "",
       1,
       0xF0,
       {},
       [](TFrmChq_Trn &t) {
         t.edConta->SetText("456");
         t.edDDD->SetText("11");
         t.edTelefone->SetText("5551234");
         t.edRG->SetText("77");
         t.edEmitente->SetText("X");
         t.edFacilitador->SetText("9");
         t.edCodArea->SetText("11");
         t.edDtNascimento->SetText("01/02/1980");
         t.edAberturaCC->SetText("05/2020");
       },
       {{1032, A},
        {1038, A},
        {1039, A},
        {1044, A},
        {1085, A},
        {1186, A},
        {1200, A},
        {1258, A},
        {1334, A},
        {10112, "200"}},
       {{"DDDTelefones", "ANTES"}, {"EmitenteOpcional", "ANTES"}}},
      {"textos longos cortados no buffer",
       "CodigoRede=12\r\ntmEmitente=60\r\ntmRG=15",
       "",
       1,
       70,
       {},
       [emitente](TFrmChq_Trn &t) {
         t.edEmitente->SetText(emitente);
         t.edRG->SetText("123456789012345");
         t.edFacilitador->SetText("123456789012345");
       },
       {{1258, emitente}, {1044, "123456789012345"}, {1186, "123456789012345"}},
       {{"EmitenteOpcional", "CHQ3:" + std::string(46, 'E')},
        {"RGOpcional", "CHQ4:12345678901234"},
        {"FacilitOpcional", "FAC:123456789012345"}}},
      {"linha CMC-7",
       "CodigoRede=12",
       "",
       2,
       70,
       {},
       [](TFrmChq_Trn &t) { t.edCMC7->SetText("123456789012345678901234567890"); },
       {{1005, "123456789012345678901234567890"}, {1029, A}},
       {}},
      {"escrita recusada para no meio",
       "CodigoRede=12",
       "",
       1,
       70,
       {},
       [](TFrmChq_Trn &t) {
         t.edBanco->SetText("1");
         t.edAgencia->SetText("23");
         t.edCheque->SetText("5");
       },
       {{1029, "1"}, {1030, A}, {1034, A}, {10112, A}},
       {},
       false},
  };
  for (const CasoGravacao &c : casos) {
    SCOPED_TRACE(c.nome);
    Configura(c.chaves, c.cliente);
    Menu(c.modo, c.codigo);
    host.Store().clear();
    host.Set(1003, 0, "15000");
    for (const auto &[campo, valor] : c.campos) host.Set(campo, 0, valor);
    std::strcpy(DDDTelefones, "ANTES");
    std::strcpy(EmitenteOpcional, "ANTES");
    auto *tela = Application->CreateForm<TFrmChq_Trn>();
    tela->IniciaCamposForm();
    if (c.ajusta) c.ajusta(*tela);
    if (!c.resultado) host.FailWritesOf(1030);
    EXPECT_EQ(tela->GravaCamposVelkor(), c.resultado);
    for (const auto &[campo, valor] : c.esperados) EXPECT_EQ(Campo(campo), valor) << campo;
    for (const auto &[nome, valor] : c.buffers) EXPECT_EQ(std::string(Buffer(nome)), valor) << nome;
    tela->Free();
  }
}

} // namespace
