// The file-exchange service end to end: the real chequepdv serving real folders, the point of
// sale played by scripts/pdv-troca.sh; asserted on the response files, the journal (read with
// sqlite3 as support would), the store and the request the module sent.
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "E2e.h"

extern char **environ;

namespace {

using namespace e2e;
namespace fs = std::filesystem;
using Campos = std::map<std::string, std::string>;

Campos Le(const std::string &texto) {
  Campos c;
  std::istringstream in(texto);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l.size() > 10 && l.compare(7, 3, " = ") == 0) c.emplace(l.substr(0, 7), l.substr(10));
  }
  return c;
}

// One run of the service on DIR/tef with the scripts given, one per operation.
class Servico {
public:
  Servico(const TempDir &d, const std::string &config, const std::string &cenario,
          const std::vector<std::string> &roteiros = {}, bool terminal = false)
      : fDir(d.Path()) {
    fs::create_directories(fDir + "/rot");
    for (size_t i = 0; i < roteiros.size(); ++i)
      testsupport::WriteFile(fDir + "/rot/" + std::to_string(10 + i) + ".script", roteiros[i]);
    testsupport::WriteFile(fDir + "/cenario.ini", cenario);
    fArgs = {kBinDir + "/chequepdv",
             "--dir",
             kSourceDir + "/" + config,
             "--messages",
             kSourceDir + "/share/demo/mensagens.txt",
             "--scenario",
             fDir + "/cenario.ini",
             "--scripts",
             fDir + "/rot",
             "--transcript",
             fDir + "/sessao.jsonl",
             "--unmasked",
             "atende",
             Tef()};
    Inicia(terminal);
  }
  ~Servico() {
    if (fPid > 0) (void)Para(SIGKILL);
  }
  std::string Tef() const { return fDir + "/tef"; }
  // `terminal`: a terminal of its own for the module's screens (nobody types on it), in place
  // of the scripts.
  void Inicia(bool terminal = false) {
    std::vector<char *> argv;
    for (auto &a : fArgs) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string log = fDir + "/servico.log";
    const char *escravo = nullptr;
    if (terminal) {
      fMestre = posix_openpt(O_RDWR | O_NOCTTY);
      ASSERT_TRUE(fMestre >= 0 && grantpt(fMestre) == 0 && unlockpt(fMestre) == 0);
      escravo = ptsname(fMestre);
    }
    fPid = fork();
    ASSERT_GE(fPid, 0);
    if (fPid == 0) {
      setsid(); // no terminal but the one given
      if (escravo) (void)open(escravo, O_RDWR);
      dup2(open("/dev/null", O_RDONLY), 0);
      dup2(open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600), 1);
      dup2(1, 2);
      execve(argv[0], argv.data(), environ);
      _exit(127);
    }
  }
  // SIGTERM ends it cleanly (0); SIGKILL as a power cut would.
  int Para(int sinal = SIGTERM) {
    int st = 0;
    kill(fPid, sinal);
    waitpid(fPid, &st, 0);
    fPid = -1;
    if (fMestre >= 0) close(fMestre), fMestre = -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -WTERMSIG(st);
  }
  pid_t Pid() const { return fPid; }
  // The point of sale: pdv-troca.sh with its options, the operation and its fields.
  RunResult Pdv(std::vector<std::string> args) const {
    args.insert(args.begin(),
                {kSourceDir + "/scripts/pdv-troca.sh", "--wait", "60", "--id", "4242"});
    auto op = args.begin() + 5;
    while (op != args.end() && op->rfind("--", 0) == 0) ++op;
    args.insert(op, Tef());
    return RunProgram("/bin/bash", args, 90000);
  }
  std::string Sql(const std::string &consulta) const {
    return RunProgram("/usr/bin/sqlite3", {Tef() + "/troca.db", consulta}).out;
  }
  std::string Log() const { return testsupport::ReadFile(fDir + "/servico.log"); }

private:
  std::string fDir;
  std::vector<std::string> fArgs;
  pid_t fPid = -1;
  int fMestre = -1;
};

const std::string kAprova = "[autorizacao]\n1009-0 = 0\n1027-0 = CHEQUE SEM RESTRIÇÕES\n"
                            "20033-0 = 0CHEQUE SEM RESTRIÇÕES@CONSULTA REALIZADA COM SUCESSO@\n";
// A typed cheque with everything the screen asks for: the operator only confirms.
const std::vector<std::string> kCheque = {"003-000=15000", "006-000=F",       "007-000=52998224725",
                                          "033-000=341",   "034-000=0123",    "036-000=456789",
                                          "037-000=1",     "038-000=000101",  "039-000=5",
                                          "150-001=11",    "150-002=32345678"};
const std::string kConfirma = "expect-form FrmRedes_Mnu\ntype 1\nexpect-form FrmCon_Con\n"
                              "click btConfirma\n";

bool Pular() {
  // The Windows replay: these run the Linux service only; scripts/windows/troca.sh plays the
  // same point of sale against chequepdv.exe.
  return std::getenv("CHEQUE_E2E_PDV") != nullptr;
}

// Whole sessions: the response's fields, the journal's state and what the module sent.
TEST(Troca, SessionsThroughTheFolders) {
  if (Pular()) GTEST_SKIP();
  struct Caso {
    const char *nome, *config;
    std::string cenario, roteiro, operacao;
    std::vector<std::string> campos;
    std::string esperado, estado, pedido; // fields "K=V|..."; journal state; what the module sent
  } casos[] = {
      {"approved consultation, then CNF", "share/demo", kAprova, kConfirma, "CHQ", kCheque,
       "001-000=4242|003-000=15000|009-000=0|010-000=71|028-000=2|029-001=CHEQUE SEM "
       "RESTRICOES|029-002=CONSULTA REALIZADA COM SUCESSO|030-000=CHEQUE SEM RESTRICOES|729-000=2",
       "confirmada", R"("field":1029,"index":0,"value":"341")"},
      {"refusal", "share/demo",
       "[autorizacao]\n1009-0 = 5\n1027-0 = CHEQUE SUSTADO - NÃO ACEITAR CHEQUE DESTE CLIENTE\n",
       kConfirma, "CHQ", kCheque,
       "009-000=5|028-000=0|030-000=CHEQUE SUSTADO - NAO ACEITAR CHEQUE DEST|729-000=1",
       "respondida", R"("field":1007,"index":0,"value":"52998224725")"},
      {"guarantee cancellation",
       "share/demo/cancelamento",
       "[autorizacao]\n1009-0 = 0\n1027-0 = GARANTIA CANCELADA\n",
       "expect-form FrmCancGarantia_Mod\ntype 12\nkey Enter\nexpect-focus btConfirma\nkey Enter\n",
       "CNC",
       {"005-000=<34100012<0180000015>012345678901:", "012-000=4711", "022-000=07122026"},
       "009-000=0|030-000=GARANTIA CANCELADA|729-000=2",
       "confirmada",
       R"({"text":"341000120180000015012345678901"},{"field":1013,"index":0,"value":"4711"},)"
       R"({"field":1020,"index":0,"value":"07122026"})"},
  };
  for (const Caso &c : casos) {
    SCOPED_TRACE(c.nome);
    TempDir d;
    Servico s(d, c.config, c.cenario, {c.roteiro});
    std::vector<std::string> args = {c.operacao};
    args.insert(args.end(), c.campos.begin(), c.campos.end());
    const RunResult r = s.Pdv(args);
    const Campos resp = Le(r.out);
    std::istringstream esperado(c.esperado);
    for (std::string kv; std::getline(esperado, kv, '|');)
      EXPECT_EQ(kv.substr(0, 8) + (resp.count(kv.substr(0, 7)) ? resp.at(kv.substr(0, 7)) : "-"),
                kv);
    EXPECT_EQ(r.exitCode, resp.at("009-000") != "0") << r.out << r.err << s.Log();
    EXPECT_EQ(s.Sql("SELECT estado FROM transacao"), c.estado + "\n");
    EXPECT_NE(testsupport::ReadFile(d / "sessao.jsonl").find(c.pedido), std::string::npos);
    // The store the module left, in the journal and in the transaction file.
    EXPECT_NE(s.Sql("SELECT store FROM transacao").find("1009-000 = " + resp.at("009-000")),
              std::string::npos);
    EXPECT_TRUE(fs::exists(s.Tef() + "/transacao.txt"));
    EXPECT_TRUE(fs::is_empty(s.Tef() + "/req"));
    EXPECT_TRUE(fs::is_empty(s.Tef() + "/resp")) << "the point of sale deleted what it read";
    EXPECT_EQ(s.Para(), 0) << s.Log();
  }
}

// A bad request is refused with what was wrong, and the service goes on answering.
TEST(Troca, BadRequestsRefusedAndTheServiceGoesOn) {
  if (Pular()) GTEST_SKIP();
  TempDir d;
  Servico s(d, "share/demo", kAprova);
  const struct {
    std::string bytes, texto; // "" texto: accepted
  } casos[] = {
      {"000-000 = ATV\n001-000 = 7\n999-999 = 0\n", ""}, // LF alone is accepted
      {"000-000 = CHQ\n003-000 = 100\n999-999 = 0\r\n", "001-000 NAO E A SEGUNDA LINHA"},
      {"000-000 = CHQ\r\n001-000 = 7\r\n003-000=100\r\n999-999 = 0\r\n", "LINHA 3 MAL FORMADA"},
      {"000-000 = CHQ\r\n001-000 = 7\r\n030-000 = S\xC3\xA3o\r\n999-999 = 0\r\n",
       "LINHA 3: CARACTERE NAO ASCII"},
      {"000-000 = CHQ\r\n001-000 = 7\r\n", "SEM 999-999 NO FIM"},
      {"000-000 = XYZ\r\n001-000 = 7\r\n999-999 = 0\r\n", "OPERACAO XYZ DESCONHECIDA"},
      {"000-000 = CHQ\r\n001-000 = 7\r\n" + std::string(70000, 'x'), "PEDIDO MAIOR QUE 64 KB"},
  };
  for (const auto &c : casos) {
    SCOPED_TRACE(c.texto);
    testsupport::WriteFile(d / "pedido", c.bytes);
    const RunResult r = RunProgram("/bin/bash", {kSourceDir + "/scripts/pdv-troca.sh", "--wait",
                                                 "20", "--raw", d / "pedido", s.Tef()});
    if (c.texto.empty()) {
      EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
      continue;
    }
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    const Campos resp = Le(r.out);
    EXPECT_EQ(resp.count("030-000") ? resp.at("030-000") : "-", c.texto);
    EXPECT_EQ(resp.at("009-000"), "1");
  }
  EXPECT_EQ(s.Pdv({"ATV"}).exitCode, 0) << s.Log();
  EXPECT_EQ(s.Para(), 0);
}

// Killed as by a power cut: during a consultation, the point of sale gets a whole response
// saying it was undone; with a response written but not in place, that response whole; a
// response read but never confirmed is undone and the next response says so.
TEST(Troca, RestartAfterKill) {
  if (Pular()) GTEST_SKIP();
  TempDir d;
  Servico s(d, "share/demo", kAprova, {}, true);
  std::vector<std::string> args = {"CHQ"};
  args.insert(args.end(), kCheque.begin(), kCheque.end());
  // During the consultation: the menu on the terminal, waiting for a key.
  std::thread pdv([&] { (void)s.Pdv(args); });
  for (int i = 0; i < 500 && s.Sql("SELECT estado FROM transacao") != "executando\n"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(s.Para(SIGKILL), -SIGKILL);
  testsupport::WriteFile(d / "rot/10.script", kConfirma);
  s.Inicia();
  pdv.join(); // it got a response and deleted it
  EXPECT_EQ(s.Sql("SELECT estado, nota FROM transacao"), "desfeita|interrompida ao reiniciar\n");
  EXPECT_NE(s.Sql("SELECT resposta FROM transacao").find("030-000 = TRANSACAO INTERROMPIDA"),
            std::string::npos);

  // An approved answer left unconfirmed, then killed as if before its rename: a half
  // temporary file beside it, the journal not yet marking it delivered.
  args.insert(args.begin(), "--no-confirm");
  const Campos primeira = Le(s.Pdv(args).out);
  ASSERT_EQ(primeira.at("009-000"), "0");
  EXPECT_EQ(s.Para(SIGKILL), -SIGKILL) << s.Log();
  s.Sql("UPDATE transacao SET entregue = 0 WHERE id = 2");
  testsupport::WriteFile(s.Tef() + "/resp/IntPos.001.tmp", "000-000 = CHQ\r\n001-0");
  s.Inicia();
  for (int i = 0; i < 500 && !fs::exists(s.Tef() + "/resp/IntPos.001"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::string devolvida = testsupport::ReadFile(s.Tef() + "/resp/IntPos.001");
  EXPECT_EQ(devolvida,
            s.Sql("SELECT resposta FROM transacao WHERE id = 2").substr(0, devolvida.size()));
  EXPECT_EQ(Le(devolvida), primeira);
  EXPECT_FALSE(fs::exists(s.Tef() + "/resp/IntPos.001.tmp"));

  // Read by the point of sale, never confirmed: undone at the restart, told in the next response.
  fs::remove(s.Tef() + "/resp/IntPos.001");
  EXPECT_EQ(s.Para(SIGKILL), -SIGKILL);
  fs::remove(d / "rot/10.script"); // the scripts are taken from the first again
  s.Inicia();
  const Campos seguinte = Le(s.Pdv({"CHQ", "003-000=100"}).out); // no script left: no operator
  EXPECT_EQ(seguinte.at("027-001"), "2");
  EXPECT_EQ(seguinte.at("030-001"), "TRANSACAO 2 DESFEITA");
  EXPECT_EQ(s.Sql("SELECT id, estado FROM transacao WHERE id = 2"), "2|desfeita\n");
  EXPECT_EQ(s.Para(), 0);
}

long Status(pid_t pid, const std::string &chave) {
  std::istringstream in(testsupport::ReadFile("/proc/" + std::to_string(pid) + "/status"));
  for (std::string l; std::getline(in, l);)
    if (l.rfind(chave, 0) == 0) return std::stol(l.substr(chave.size()));
  return -1;
}

size_t Descritores(pid_t pid) {
  const auto it = fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd");
  return size_t(std::distance(fs::begin(it), fs::end(it)));
}

// A hundred transactions in a row: each runs the module (no operator: it refuses at once),
// writes the journal and both files; neither memory nor open files grow.
TEST(Troca, HundredTransactionsWithoutGrowth) {
  if (Pular()) GTEST_SKIP();
  TempDir d;
  Servico s(d, "share/demo", kAprova);
  long rss = 0;
  size_t fds = 0;
  for (int i = 1; i <= 100; ++i) {
    const RunResult r = s.Pdv({"--no-confirm", "CHQ", "003-000=" + std::to_string(i)});
    ASSERT_EQ(Le(r.out).at("012-000"), std::to_string(i)) << r.out << r.err << s.Log();
    if (i == 20) rss = Status(s.Pid(), "VmRSS:"), fds = Descritores(s.Pid());
  }
#ifdef __SANITIZE_ADDRESS__
  rss = 1L << 40; // its quarantine keeps what was freed
#endif
  EXPECT_LE(Status(s.Pid(), "VmRSS:"), rss + 512) << "kB";
  EXPECT_EQ(Descritores(s.Pid()), fds);
  EXPECT_EQ(s.Para(), 0);
}

} // namespace
