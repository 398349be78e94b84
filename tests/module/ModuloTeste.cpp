#include "ModuloTeste.h"

#include <cstdlib>
#include <sstream>

#include "cheque/modulo.h"
#include "module/ChequeMain.h"
#include "platform/text/StrUtils.h"
#include "screens/consulta/LayoutsConsulta.h"
#include "screens/menus/MenuCheque.h"

std::vector<std::string> Partes(const std::string &itens) {
  std::vector<std::string> partes;
  std::stringstream ss(itens);
  for (std::string p; std::getline(ss, p, '|');)
    if (!p.empty()) partes.push_back(p);
  return partes;
}

namespace {
// "1029[1]=001" as field, index and value.
void Chave(const std::string &p, int &campo, int &indice, std::string &valor) {
  const size_t igual = p.find('='), colchete = p.find('[');
  campo = std::atoi(p.c_str());
  indice = colchete < igual ? std::atoi(p.c_str() + colchete + 1) : 0;
  valor = p.substr(igual + 1);
}
} // namespace

void ModuloTeste::SetUp() {
  setenv("CHEQUE_DIR", dir.Path().c_str(), 1);
  host.Instala();
  // Texts that carry accelerators, as the real message table has them.
  host.SetMessage(330, "&9 - Encerra");
  host.SetMessage(553, "&1 - Confirma");
  host.SetMessage(554, "&9 - Cancela");
  host.SetMessage(802, "Erro ao criar o formulario %s");
  Initialize();
  SetToday({15, 6, 2024});
  // The cheque count of the code-70 request outlives a consultation (as it does between calls
  // of the module): every test starts from the count of a freshly loaded module.
  DefineQuantidadeChequesConsulta70(1);
}

void ModuloTeste::TearDown() {
  ResetToday();
  if (FrmRedes_Mnu) FrmRedes_Mnu->Free();
  FrmRedes_Mnu = nullptr;
  Finalize();
  unsetenv("CHEQUE_DIR");
}

void ModuloTeste::Escreve(const std::string &nome, const std::string &texto) const {
  dir.Write(nome, texto);
}

void ModuloTeste::Configura(const std::string &cheque, const std::string &cliente) const {
  Escreve("Cheque.ini", Secao(kSecao, "habilitado=1\r\n" + cheque));
  Escreve("Cliente.ini", Secao(kSecao, cliente));
}

void ModuloTeste::Menu(int modo, int codigo, int funcao) {
  if (!FrmRedes_Mnu) FrmRedes_Mnu = Application->CreateForm<TFrmRedes_Mnu>();
  FrmRedes_Mnu->SecaoConfiguracao = kSecao;
  FrmRedes_Mnu->TipoEntrada = static_cast<int16_t>(modo);
  Transacao = 1;
  QualTransacao[1] = codigo;
  TipoFuncao[1] = funcao;
}

void ModuloTeste::Campos(const std::string &itens) {
  for (const std::string &p : Partes(itens)) {
    int campo, indice;
    std::string valor;
    Chave(p, campo, indice, valor);
    host.Set(campo, indice, valor);
  }
}

void ModuloTeste::Prepara(const std::string &cheque, int modo, const std::string &campos,
                          const std::string &cliente, int codigo, int funcao) {
  Configura(cheque, cliente);
  Menu(modo, codigo, funcao);
  host.Store().clear();
  host.ClearCalls();
  Campos(campos);
}

void ModuloTeste::ConfereCampos(const std::string &itens, bool salvo) const {
  for (const std::string &p : Partes(itens)) {
    int campo, indice;
    std::string valor;
    Chave(p, campo, indice, valor);
    EXPECT_EQ(salvo ? Salvo(campo, indice) : Campo(campo, indice), valor)
        << campo << "[" << indice << "]";
  }
}

std::string ModuloTeste::Digita(const std::string &itens) {
  std::string roteiro;
  for (const std::string &p : Partes(itens)) {
    const size_t igual = p.find('=');
    roteiro += "click " + p.substr(0, igual) + "\ntype " + p.substr(igual + 1) + "\n";
  }
  return roteiro;
}

void ModuloTeste::Confere(TComponent *tela, const std::string &itens) {
  for (const std::string &p : Partes(itens)) {
    const size_t inicio = p.find_first_not_of("-+~^"), fim = p.find_first_of("=#", inicio);
    const std::string nome = p.substr(inicio, fim - inicio);
    auto *c = dynamic_cast<TControl *>(tela->FindComponentDeep(nome));
    ASSERT_NE(c, nullptr) << nome;
    for (char f : p.substr(0, inicio))
      EXPECT_EQ(f == '-' || f == '+' ? c->Enabled() : c->Visible(), f == '+' || f == '^')
          << f << nome;
    const std::string valor = fim == std::string::npos ? "" : p.substr(fim + 1);
    if (fim != std::string::npos && p[fim] == '=') {
      EXPECT_EQ(c->Text(), valor) << nome;
    } else if (fim != std::string::npos) {
      auto *e = dynamic_cast<TCustomEdit *>(c);
      ASSERT_NE(e, nullptr) << nome;
      EXPECT_EQ(e->MaxLength, std::atoi(valor.c_str())) << nome;
    }
  }
}

void ModuloTeste::Preenche(TComponent *tela, const std::string &itens) {
  for (const std::string &p : Partes(itens)) {
    const bool desliga = p[0] == '!';
    const size_t igual = p.find('=');
    const std::string nome =
        p.substr(desliga, igual == std::string::npos ? igual : igual - desliga);
    auto *c = dynamic_cast<TControl *>(tela->FindComponentDeep(nome));
    ASSERT_NE(c, nullptr) << nome;
    if (igual != std::string::npos) c->SetText(p.substr(igual + 1));
    if (desliga) c->SetEnabled(false);
  }
}

std::string ModuloTeste::Requisicao(const TFakeHost &h, size_t n) {
  std::string r;
  if (n >= h.Requests().size()) return r;
  using cheque::layout::TEntradaDecodificada;
  for (const TEntradaDecodificada &d : h.Requests()[n]) {
    std::string s;
    if (d.tipo == TEntradaDecodificada::Tipo::Grupo)
      s = "x" + std::to_string(d.repeticao) + "/" + std::to_string(d.tamanho);
    else if (d.tipo == TEntradaDecodificada::Tipo::Texto)
      s = "'" + d.valor + "'";
    else
      s = std::to_string(d.campo) + (d.indice ? "[" + std::to_string(d.indice) + "]" : "") +
          (d.presente ? "=" + d.valor : "-");
    if (d.atributos[0] | d.atributos[1] | d.atributos[2])
      s += "@" + std::to_string(d.atributos[0]) + "." + std::to_string(d.atributos[1]) + "." +
           std::to_string(d.atributos[2]);
    if (!d.rotulo.empty()) s += "(" + d.rotulo + ")";
    r += (r.empty() ? "" : " ") + s;
  }
  for (char &c : r)
    if (c == '\x04') c = '~';
  return r;
}

std::string Secao(const std::string &nome, const std::string &chaves) {
  return "[" + nome + "]\r\n" + chaves + "\r\n";
}
