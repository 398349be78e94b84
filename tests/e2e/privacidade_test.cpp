// What a whole code-70 consultation leaves in the logs when chequepdv runs as at a checkout
// (without --unmasked): the transcript, the audit trail and the pictures hold no whole CPF,
// account or CMC-7 line, not even one key at a time, and only their owner can read them. The
// transaction file keeps whole values: the point of sale needs them.
#include "E2e.h"

#include <filesystem>
#include <sys/stat.h>

using namespace e2e;

TEST(Privacidade, ConsultaCompletaNaoDeixaDadosPessoaisNosRegistros) {
  const std::string cpf = "52998224725", conta = "12345678", cmc7 = std::string(30, '3');
  struct Caso {
    std::vector<std::pair<std::string, std::string>> opcoes; // Cheque.ini keys
    std::string roteiro;
    std::vector<std::string> pessoais;
    std::pair<std::string, std::string> noArquivo; // stays whole in the transaction file
    bool cpfDoPdv; // the point of sale supplies the CPF (else it is typed)
  };
  const std::vector<Caso> casos = {
      {{{"opAbertura", "1"}, {"opNascto", "1"}},
       "click edBanco\ntype 1\nclick edAgencia\ntype 23\nclick edConta\ntype " + conta +
           "\nclick edDigito\ntype 7\nclick edCheque\ntype 123456\nclick edTipoDoc\ntype 1\n"
           "click edCPFCGC\ntype " +
           cpf + "\nclick btConfirma\n",
       {cpf, conta, "529.982.247-25"},
       {"1032-0", conta},
       false},
      {{{"opCmc7", "0"},
        {"opBanco", "2"},
        {"ColetaQtdChq", "1"},
        {"opAbertura", "1"},
        {"opNascto", "1"},
        {"opTipoDoc", "1"}},
       "click edQtdChq\ntype 2\nkey Enter\nexpect-form FrmMult_CMC7\ntype " + cmc7 +
           "\nkey Enter\ntype 250\nkey Enter\ntype 01072024\nkey Enter\ntype " +
           std::string(30, '4') +
           "\nkey Enter\ntype 250\nkey Enter\ntype 01072024\nkey Enter\nclick btConfirma\n"
           "expect-form FrmCon_Con\nclick btConfirma\n",
       {cpf, cmc7, std::string(30, '4')},
       {"10167-0", cmc7},
       true},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.pessoais[1]);
    Session s;
    s.unmasked = false;
    s.chequeIni = Option("Consulta", 70, 1, 12, c.opcoes);
    s.sets = {"1003-0=500", "1008-0=10062024"};
    if (c.cpfDoPdv) s.sets.push_back("1007-0=" + cpf);
    s.options["--scenario"] = s.dir.Write("cenario.ini", "[autorizacao]\n1009-0 = 0\n");
    s.options["--audit"] = s.dir / "audit.txt";
    s.options["--pictures"] = s.dir / "telas";
    const Outcome o = s.Run({"consulta"}, c.roteiro);
    ASSERT_EQ(o.run.exitCode, 0) << o.Diagnostics();
    ASSERT_EQ(o.Events("authorize").size(), 1u);
    EXPECT_EQ(o.store.at(c.noArquivo.first), c.noArquivo.second);

    std::vector<std::string> registros = {s.dir / "transcript.jsonl", s.dir / "audit.txt"};
    for (const auto &f : std::filesystem::directory_iterator(s.dir / "telas"))
      registros.push_back(f.path().string());
    std::string digitado; // the typed keys put back together
    for (const Json &e : o.Events("input"))
      if (e.value("action", "").rfind("type ", 0) == 0) digitado += e.value("action", "").substr(5);
    for (const std::string &r : registros) {
      struct stat st {};
      ASSERT_EQ(stat(r.c_str(), &st), 0) << r;
      EXPECT_EQ(st.st_mode & 0777, 0600u) << r;
      for (const std::string &p : c.pessoais) {
        EXPECT_EQ(ReadFile(r).find(p), std::string::npos) << r << ": " << p;
        EXPECT_EQ(digitado.find(p), std::string::npos) << p;
      }
    }
  }
}
