// What the tests of the consultation screens share: the option chosen on the network menu as
// the screens see it, a screen whose controls a test may set once it is initialised, and the
// decoded request of an authorisation as readable lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ModuloTeste.h"
#include "module/ChequeMain.h"
#include "platform/StrUtils.h"
#include "screens/consulta/Cons70ChequeConsulta.h"
#include "screens/consulta/ConsultaChequeTrnCheque.h"
#include "screens/consulta/LayoutsConsulta.h"
#include "screens/menus/MenuCheque.h"

// A screen of the consultation family whose controls the test sets after IniciaCamposForm.
template <class Base> class TTelaTeste : public Base {
public:
  using Base::Base;
  std::function<void(TTelaTeste &)> aposIniciar;
  void IniciaCamposForm() override {
    Base::IniciaCamposForm();
    if (aposIniciar) aposIniciar(*this);
  }
};

class ConsultaTeste : public ModuloTeste {
protected:
  static constexpr const char *kSecao = "Consulta";
  static constexpr TDate kHoje{15, 6, 2024};

  void SetUp() override {
    ModuloTeste::SetUp();
    SetToday(kHoje);
    // The cheque count of the code-70 request outlives a consultation (as it does between
    // calls of the module): every test starts from the count of a freshly loaded module.
    DefineQuantidadeChequesConsulta70(1);
  }
  void TearDown() override {
    ResetToday();
    if (FrmRedes_Mnu) FrmRedes_Mnu->Free();
    FrmRedes_Mnu = nullptr;
    ModuloTeste::TearDown();
  }

  // Cheque.ini and Cliente.ini with one section "Consulta" each (keys "k=v" lines).
  void Configura(const std::string &cheque, const std::string &cliente = "") {
    Escreve("Cheque.ini", Secao(kSecao, "habilitado=1\r\n" + cheque));
    Escreve("Cliente.ini", Secao(kSecao, cliente));
  }

  // The network menu as the screens read it: option 1 chosen, its section and codes.
  void Menu(int modo, int codigo = 70, int funcao = 1) {
    if (!FrmRedes_Mnu) FrmRedes_Mnu = Application->CreateForm<TFrmRedes_Mnu>();
    FrmRedes_Mnu->SecaoConfiguracao = kSecao;
    FrmRedes_Mnu->TipoEntrada = static_cast<int16_t>(modo);
    Transacao = 1;
    QualTransacao[1] = codigo;
    TipoFuncao[1] = funcao;
  }

  // Shows `tela` under `roteiro`; the screen is freed afterwards.
  template <class T> TScriptRun Executa(T *tela, const std::string &roteiro) {
    TScriptRun r = RunScript(tela, roteiro);
    tela->Free();
    return r;
  }

  // The n-th request as lines: "F[i]=value" ("F[i] ausente" when absent), "'text'" for a
  // buffer or constant, "grupo F xR/G" for a group opener.
  std::vector<std::string> Requisicao(size_t n = 0) const {
    std::vector<std::string> linhas;
    if (n >= host.Requests().size()) return linhas;
    using cheque::layout::TEntradaDecodificada;
    for (const TEntradaDecodificada &d : host.Requests()[n]) {
      switch (d.tipo) {
      case TEntradaDecodificada::Tipo::Grupo:
        linhas.push_back("grupo " + std::to_string(d.campo) + " x" + std::to_string(d.repeticao) +
                         "/" + std::to_string(d.tamanho));
        break;
      case TEntradaDecodificada::Tipo::Texto:
        linhas.push_back("'" + d.valor + "'");
        break;
      case TEntradaDecodificada::Tipo::Campo:
        linhas.push_back(std::to_string(d.campo) + "[" + std::to_string(d.indice) + "]" +
                         (d.presente ? "=" + d.valor : std::string(" ausente")) +
                         (d.rotulo.empty() ? std::string() : " " + d.rotulo));
        break;
      }
    }
    return linhas;
  }

  std::string Campo(int campo, int indice = 0) const {
    auto v = host.Get(campo, indice);
    return v ? *v : std::string("<ausente>");
  }
  std::string Salvo(int campo, int indice = 0) const {
    auto it = host.SavedStore().find({campo, indice});
    return it == host.SavedStore().end() ? std::string("<ausente>") : it->second;
  }
};
