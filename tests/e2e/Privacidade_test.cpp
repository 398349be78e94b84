// What a whole code-70 consultation leaves in the logs when chequepdv runs as at a checkout
// (without --unmasked): the transcript, the audit trail, the pictures and the summary hold no
// whole CPF, account or CMC-7 line, not even one key at a time, and only their owner can read
// them. The transaction file keeps whole values: the point of sale needs them.
#include <filesystem>
#include <sys/stat.h>

#include "E2e.h"

namespace e2e {
namespace {

const std::string kCpf = "52998224725";

// One consultation with these Cheque.ini keys and script; `pessoais` may not appear in any log,
// `noArquivo` stays whole in the transaction file.
void Verifica(const Keys &opcoes, const std::string &roteiro,
              const std::vector<std::string> &pessoais,
              const std::pair<std::string, std::string> &noArquivo, bool cpfDoPdv) {
  SCOPED_TRACE(pessoais[1]);
  Session s;
  s.unmasked = false;
  s.chequeIni = Option("Consulta", 70, 1, 12, opcoes);
  s.sets = {"1003-0=500", "1008-0=10062024"};
  if (cpfDoPdv) s.sets.push_back("1007-0=" + kCpf);
  s.scenario = "[autorizacao]\n1009-0 = 0\n";
  s.options["--audit"] = s.dir / "audit.txt";
  s.options["--pictures"] = s.dir / "telas";
  const Outcome o = s.Run({"consulta"}, roteiro + "click btConfirma\n");
  ASSERT_TRUE(Completed(o));
  ASSERT_EQ(o.Events("authorize").size(), 1u);
  EXPECT_EQ(o.Field(noArquivo.first), noArquivo.second);
  std::vector<std::string> registros = {s.dir / "transcript.jsonl", s.dir / "audit.txt"};
  for (const auto &f : std::filesystem::directory_iterator(s.dir / "telas"))
    registros.push_back(f.path().string());
  std::string digitado; // the typed keys put back together
  for (const Json &e : o.Events("input"))
    if (e.value("action", "").starts_with("type ")) digitado += e.value("action", "").substr(5);
  for (const std::string &p : pessoais) EXPECT_EQ(digitado.find(p), std::string::npos) << p;
  // The summary on standard output masks them like the logs.
  for (const std::string &p : pessoais) EXPECT_EQ(o.run.out.find(p), std::string::npos) << p;
  for (const std::string &r : registros) {
    struct stat st {};
    ASSERT_EQ(stat(r.c_str(), &st), 0) << r;
    EXPECT_EQ(st.st_mode & 0777, 0600u) << r;
    const std::string texto = ReadFile(r);
    for (const std::string &p : pessoais) EXPECT_EQ(texto.find(p), std::string::npos) << r << p;
  }
}

TEST(Privacidade, ConsultaCompletaNaoDeixaDadosPessoaisNosRegistros) {
  // Typed cheque and CPF.
  Verifica({{"opAbertura", "1"}, {"opNascto", "1"}},
           Fill("edBanco=1|edAgencia=23|edConta=12345678|edDigito=7|edCheque=123456|edTipoDoc=1|"
                "edCPFCGC=" +
                kCpf),
           {kCpf, "12345678", "529.982.247-25"}, {"1032-0", "12345678"}, false);
  // Two CMC-7 lines from the grid, the CPF from the point of sale.
  Verifica({{"opCmc7", "0"},
            {"opBanco", "2"},
            {"ColetaQtdChq", "1"},
            {"opAbertura", "1"},
            {"opNascto", "1"},
            {"opTipoDoc", "1"}},
           "click edQtdChq\ntype 2\nkey Enter\nexpect-form FrmMult_CMC7\n" + Grid(2, "250") +
               "click btConfirma\nexpect-form FrmCon_Con\n",
           {kCpf, GridLine(0), GridLine(1)}, {"10167-0", GridLine(0)}, true);
}

// The guarantee cancellations, typed: the cheque-data text the request carries is masked as
// field 10167 is, and the Venezuelan identity document is neither typed nor sent in clear.
TEST(Privacidade, CancelamentosMascaramDadosDoChequeEDocumento) {
  struct Caso {
    std::string opcao, roteiro;
    std::vector<std::string> pessoais;
  };
  const Caso casos[] = {
      {Option("Cancela", 70, 7, 95),
       "expect-form FrmCancGarantia_Mod\ntype 111\nkey Enter\nkey Enter\ntype 7\nkey Enter\n"
       "type 018\nkey Enter\ntype 341\nkey Enter\ntype 0123\nkey Enter\ntype 98765\nkey Enter\n"
       "type 4\nkey Enter\ntype 000101\nkey Enter\ntype 5\nkey Enter\nkey Enter\n",
       {"98765"}},
      {Option("Venezuela", 70, 7, 96),
       "expect-form FrmGarVenez_Cnc\ntype 15.000\nkey Enter\nkey Enter\ntype 777\nkey Enter\n"
       "expect-focus edRGGar\ntype 24681357\nkey Enter\ntype 102\nkey Enter\ntype 0123456789\n"
       "key Enter\ntype 1\nkey Enter\ntype 000123\nkey Enter\ntype 4\nkey Enter\nkey Enter\n",
       {"24681357", "2468", "0123456789"}},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.pessoais[0]);
    Session s;
    s.unmasked = false;
    s.chequeIni = c.opcao;
    s.scenario = "[autorizacao]\n1009-0 = 0\n";
    const Outcome o = s.Run({"consulta"}, "type 1\n" + c.roteiro);
    ASSERT_TRUE(Completed(o));
    ASSERT_EQ(o.Events("authorize").size(), 1u);
    std::string digitado;
    for (const Json &e : o.Events("input"))
      if (e.value("action", "").starts_with("type ")) digitado += e.value("action", "").substr(5);
    const std::string registro = ReadFile(s.dir / "transcript.jsonl");
    for (const std::string &p : c.pessoais) {
      EXPECT_EQ(digitado.find(p), std::string::npos) << p;
      EXPECT_EQ(registro.find(p), std::string::npos) << p;
    }
  }
}

} // namespace
} // namespace e2e
