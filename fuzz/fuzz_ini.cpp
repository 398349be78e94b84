// Arbitrary bytes as the module's configuration: the same text stands for Cheque.ini,
// Cliente.ini and ClienteTrn.ini in a scratch directory, and the module reads them the way a call
// does: the check for enabled consultations, the network menu's options, the data-entry ways of
// each option, its "opMenu" list of consultation types and the consultation screen's settings.
// The INI reader itself is walked over every section and key.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/FakeHost.h"
#include "module/ChequeMain.h"
#include "platform/forms/Forms.h"
#include "platform/system/IniFiles.h"
#include "screens/consulta/Cons70ChequeConsulta.h"
#include "screens/menus/MenuCheque.h"
#include "screens/menus/SelecionaTipoConsultaCheque.h"

namespace {
const std::string &Pasta() {
  static const std::string pasta = [] {
    char modelo[] = "/tmp/fuzz-ini-XXXXXX";
    if (!mkdtemp(modelo)) std::abort();
    setenv("CHEQUE_DIR", modelo, 1);
    return std::string(modelo);
  }();
  return pasta;
}

void Escreve(const std::string &nome, const std::string &texto) {
  std::FILE *f = std::fopen((Pasta() + "/" + nome).c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(texto.data(), 1, texto.size(), f);
  std::fclose(f);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string texto(reinterpret_cast<const char *>(data), size);
  const TIniFile ini = TIniFile::FromText(texto);
  for (const std::string &secao : ini.ReadSections())
    for (const std::string &chave : ini.ReadSection(secao)) {
      if (!ini.ValueExists(secao, chave)) std::abort();
      (void)ini.ReadInteger(secao, chave, 0);
      (void)ini.ReadBool(secao, chave, false);
    }

  for (const char *nome : {"Cheque.ini", "Cliente.ini", "ClienteTrn.ini"}) Escreve(nome, texto);
  TFakeHost host;
  host.Instala();
  // The point of sale holds a CMC-7 line: an option that allows both ways opens no menu.
  host.Set(1005, 0, "1");
  (void)VerificaConsultasHabilitadas();

  TFrmRedes_Mnu *menu = Application->CreateForm<TFrmRedes_Mnu>();
  FrmRedes_Mnu = menu;
  menu->IniciaFormularioMenu();
  const std::vector<std::string> secoes = ini.ReadSections();
  for (size_t i = 0; i < secoes.size() && i < 8; ++i) {
    menu->SecaoConfiguracao = secoes[i];
    (void)menu->VerificaSelecionaPrimeiraLinhaCheque_CMC7();
    TFrmTipoConsulta_Mod *tipos = Application->CreateForm<TFrmTipoConsulta_Mod>();
    tipos->IniciaCamposForm();
    tipos->Free();
    TFrmCon_Con *tela = Application->CreateForm<TFrmCon_Con>();
    tela->Configura_Consulta();
    tela->Free();
  }
  FrmRedes_Mnu = nullptr;
  menu->Free();
  return 0;
}
