// A whole consultation in process (code 70 typed, code 78 by CMC-7), as the point of sale runs it:
// the entry point, the network menu choosing its single option, the consultation screen, the
// operator typing the cheque and the document, the confirm cycle, the authorisation by the test
// host, the result screen, and the menu closed by the operator.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "cheque/modulo.h"
#include "host/FakeHost.h"
#include "platform/operator/Script.h"
#include "platform/operator/Transcript.h"

namespace {

const char *kChequeIni = "[Consulta]\r\nhabilitado=1\r\nCodigoTrn=70\r\nTipoFuncao=1\r\n"
                         "CodigoRede=12\r\nopCmc7=2\r\nopBanco=0\r\nopAbertura=1\r\nopNascto=1\r\n"
                         "tmCheque=7\r\n"
                         "[Consulta78]\r\nhabilitado=1\r\nCodigoTrn=78\r\nCodigoRede=12\r\n"
                         "opCmc7=0\r\nopBanco=2\r\nopAbertura=1\r\nopNascto=1\r\n"
                         // Another option, so that the menu waits for the operator.
                         "[Outra]\r\nhabilitado=1\r\nCodigoTrn=99\r\n";

const char *kRoteiro = "expect-form FrmRedes_Mnu\ntype 1\nexpect-form FrmCon_Con\n"
                       "click edBanco\ntype 341\nkey Enter\ntype 0123\nkey Enter\n"
                       "type 456789\nkey Enter\ntype 1\nkey Enter\ntype 000101\nkey Enter\n"
                       "type 5\nkey Enter\n"
                       "click edTipoDoc\ntype 1\nkey Enter\ntype 52998224725\n"
                       "click btConfirma\n"
                       "expect-form FrmImprime_Mod\nclick btRetorna\n"
                       "expect-form FrmRedes_Mnu\ntype 9\n";

// Code 78, the cheque read as its CMC-7 line (option 2 takes the line only).
const char *kRoteiro78 = "expect-form FrmRedes_Mnu\ntype 2\nexpect-form FrmCon_Chq78\n"
                         "click edCMC7\ntype 341012300001010005004567891234\n"
                         "click edTipoDoc\ntype 1\nkey Enter\ntype 52998224725\n"
                         "click btConfirma\n"
                         "expect-form FrmImprime_Mod\nclick btRetorna\n"
                         "expect-form FrmRedes_Mnu\ntype 9\n";

void Consulta(benchmark::State &state, const char *roteiro) {
  const std::string dir = std::filesystem::temp_directory_path() / "bench-consulta70";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/Cheque.ini", std::ios::binary) << kChequeIni;
  setenv("CHEQUE_DIR", dir.c_str(), 1);

  TFakeHost host;
  host.Instala();
  host.SetMessage(330, "&9 - Encerra");
  host.SetMessage(553, "&1 - Confirma");
  host.SetMessage(554, "&9 - Cancela");
  host.SetDefaultAuthorization(
      {TFakeHost::TOperacao::Grava(1009, 0, "0"),
       TFakeHost::TOperacao::Grava(1027, 0, "CHEQUE SEM RESTRICOES"),
       TFakeHost::TOperacao::Grava(20033, 0, "0CHEQUE SEM RESTRICOES@CONSULTA REALIZADA@")});
  Initialize();
  for (auto _ : state) {
    host.Store().clear();
    host.ClearCalls();
    host.Set(1003, 0, "15000");
    const TScriptRun r = RunScript(
        [] {
          ExecutaConsultaCheque(0x1234, 0);
          return 0;
        },
        roteiro);
    if (!r.error.empty() || host.SaveCount() == 0 || !host.Has(1009)) {
      state.SkipWithError(("the consultation did not complete: " + r.error).c_str());
      break;
    }
    benchmark::DoNotOptimize(r.events.size());
  }
  Finalize();
  unsetenv("CHEQUE_DIR");
  std::filesystem::remove_all(dir);
}
void BM_Consulta70Digitada(benchmark::State &state) {
  Consulta(state, kRoteiro);
}
void BM_Consulta78Cmc7(benchmark::State &state) {
  Consulta(state, kRoteiro78);
}
BENCHMARK(BM_Consulta70Digitada)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_Consulta78Cmc7)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace

BENCHMARK_MAIN();
