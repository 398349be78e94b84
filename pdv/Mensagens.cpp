// The operator messages: the built-in Portuguese table and the messages file
// (lines `ID=TEXT`, '#' comments, the text escaped as in the transaction file;
// UTF-8, or Windows-1252 as a Windows editor saves it).
#include <unordered_map>

#include "PdvHost.h"
#include "platform/text/StrUtils.h"

namespace pdv {

namespace {
struct TMensagem {
  int32_t id;
  const char *texto; // UTF-8
};

// Formats keep their %s / %d: 8 and 566 take two one-character texts, 802 a
// form name, 1168 a question label, 1186 a question and a minimum length, 1187
// the question put on the PIN pad. 1821 is followed directly by the module
// version, hence its closing blank.
const TMensagem kMensagens[] = {
    {6, "Digite a data do cheque (DD/MM/AAAA)."},
    {8, "Tipo de documento: %s = CPF (pessoa física), %s = CNPJ (pessoa "
        "jurídica)."},
    {11, "Digite o CPF ou o CNPJ do emitente."},
    {12, "Digite o DDD do telefone."},
    {13, "Digite o número do telefone."},
    {20, "Tipo de cancelamento:"},
    {21, "Escolha uma opção."},
    {26, "Digite o valor da transação."},
    {37, "Digite a data da transação (DD/MM/AAAA)."},
    {42, "Digite o RG do emitente."},
    {43, "Aguarde, processando a transação..."},
    {46, "Tecle ENTER para confirmar."},
    {48, "Tecle ENTER para voltar."},
    {49, "Tecle ENTER para imprimir o comprovante."},
    {54, "Digite o número do banco."},
    {55, "Digite o número da agência."},
    {56, "Digite o número da conta."},
    {57, "Digite o dígito da conta."},
    {58, "Digite o número do cheque."},
    {59, "Digite a data de nascimento do emitente (DD/MM/AAAA)."},
    {70, "Digite ou leia a linha CMC-7 do cheque."},
    {71, "Digite o nome do emitente."},
    {72, "Digite o mês e o ano de abertura da conta (MM/AAAA)."},
    {82, "Digite o dígito C1 do cheque."},
    {83, "Digite o dígito C2 do cheque."},
    {84, "Digite o dígito C3 do cheque."},
    {86, "Digite o código de compensação."},
    {125, "Digite o código do facilitador."},
    {130, "Operação não disponível no módulo de cheques."},
    {140, "Escolha o tipo de consulta."},
    {145, "Digite a quantidade de cheques."},
    {261, "Digite o número do documento."},
    {277, "Informe o tipo de entrada do cheque."},
    {281, "Informe o número do documento."},
    {317, "O cartão lido pertence a outra rede."},
    {327, "Função não disponível no módulo de cheques."},
    {330, "&9 - Encerra"},
    {456, "Consulta de Cheques"},
    {465, "Cancelamento de Garantia de Cheque"},
    {546, "Valor:"},
    {553, "&1 - Confirma"},
    {554, "&9 - Retorna"},
    {556, "&1 - Imprime"},
    {564, "Data da Transação:"},
    {566, "%s = Sim, %s = Não"},
    {568, "Número do Documento:"},
    {570, "Banco:"},
    {571, "Agência:"},
    {572, "Conta:"},
    {573, "Conta Corrente:"},
    {575, "Cheque:"},
    {576, "CMC7:"},
    {577, "Tipo Documento:"},
    {578, "CPF/CNPJ:"},
    {579, "Emitente:"},
    {580, "RG:"},
    {581, "Abertura da Conta:"},
    {582, "DDD:"},
    {583, "Telefone:"},
    {585, "Data de Nascimento:"},
    {586, "Data do Cheque:"},
    {602, "Tipo de Consulta:"},
    {719, "C1:"},
    {720, "C2:"},
    {725, "Tipo de Entrada:"},
    {733, "(0 ou 1)"},
    {786, "Cód. Facilitador:"},
    {787, "Data inválida. Digite novamente."},
    {790, "Valor inválido. Digite um valor maior que zero."},
    {801, "Operação não concluída pelo operador."},
    {802, "Não foi possível abrir a tela %s."},
    {803, "CPF/CNPJ inválido. Digite novamente."},
    {804, "Informe o número do banco."},
    {805, "Informe o número da agência."},
    {806, "Informe o número da conta."},
    {807, "Informe o dígito da conta."},
    {808, "Informe o número do cheque."},
    {809, "Linha CMC-7 incompleta. Digite ou leia novamente."},
    {814, "Escolha um tipo de consulta."},
    {856, "Informe o tipo de documento."},
    {993, "Operação não disponível."},
    {998, "Nenhuma consulta de cheque habilitada."},
    {1023, "Informe o código de compensação."},
    {1024, "Compensação:"},
    {1055, "O autorizador não respondeu. Tente novamente."},
    {1100, "Digite o código do operador."},
    {1101, "Cód. Operador:"},
    {1102, "Informe o dígito C1."},
    {1103, "Informe o código do facilitador."},
    {1104, "Informe o código do operador."},
    {1123, "Dados do estabelecimento incompletos (campo 1050)."},
    {1124, "Dados do estabelecimento incompletos (campo 1051)."},
    {1125, "Dados do estabelecimento incompletos (campo 1080)."},
    {1132, "Parâmetros de Taxas Telecheque"},
    {1133, "Aguarde... carregando a tabela de taxas."},
    {1134, "Dados do estabelecimento incompletos (campo 1079)."},
    {1135, "Dados do estabelecimento incompletos (campo 1095)."},
    {1136, "Motivo:"},
    {1137, "Digite o código do motivo do cancelamento."},
    {1138, "Informe o motivo do cancelamento."},
    {1139, "Tipo de entrada: 1 = CMC-7, 2 = digitado."},
    {1166, "Digite os dados de cada cheque."},
    {1167, "Dados dos Cheques"},
    {1168, "Digite a resposta: %s."},
    {1171, "Informe o dígito C2."},
    {1172, "Informe o dígito C3."},
    {1173, "Primeira Linha do Cheque"},
    {1174, "CMC-7"},
    {1182, "A soma dos valores dos cheques difere do valor da transação."},
    {1186, "A resposta a \"%s\" deve ter pelo menos %d caracteres."},
    {1187, "Cliente: %s"},
    {1267, "O mês de abertura da conta não pode ser posterior ao mês atual."},
    {1474, "Consulta Sequencial de Cheques"},
    {1710, "Cód. Área:"},
    {1711, "Informe o código de área com 2 dígitos."},
    {1712, "Digite o código de área (2 dígitos)."},
    {1723, "Demonst. de Prazos:"},
    {1724, "Deseja o demonstrativo de prazos?"},
    {1725, "Informe se deseja o demonstrativo de prazos."},
    {1726, "Número da Autorização:"},
    {1727, "Tipo de Cancelamento:"},
    {1728, "Informe o tipo de cancelamento."},
    {1729, "Digite o número de cada autorização (18 dígitos)."},
    {1730, "Quantidade de cheques inválida."},
    {1731, "Informe o número da autorização."},
    {1732, "Digite o número da autorização (18 dígitos)."},
    {1733, "Data da Consulta:"},
    {1734, "Digite a data da consulta (DD/MM/AAAA)."},
    {1821, "Módulo Cheque - Versão "},
};
} // namespace

const std::map<int32_t, std::string> &MensagensPadrao() {
  static const std::map<int32_t, std::string> tabela = [] {
    std::map<int32_t, std::string> t;
    for (const TMensagem &m : kMensagens) t.emplace(m.id, Utf8ToCp1252(m.texto));
    return t;
  }();
  return tabela;
}

namespace {
// One pass, each number looked up by hash: a file of many messages costs its length. The first
// repeat of a number is refused at its line.
std::unordered_map<int32_t, std::string> LeMensagensTexto(const std::string &bytes,
                                                          const std::string &nome) {
  std::unordered_map<int32_t, std::string> lidas;
  const std::string texto = TextoDoUsuario(bytes);
  size_t ini = 0;
  int numero = 0;
  while (ini < texto.size()) {
    size_t fim = texto.find('\n', ini);
    if (fim == std::string::npos) fim = texto.size();
    std::string linha = texto.substr(ini, fim - ini);
    ini = fim + 1;
    ++numero;
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    // Line ends of CR alone would run every message after it into this one.
    if (size_t cr = linha.find('\r'); cr != std::string::npos)
      throw TErroArquivo(nome, numero,
                         "CR sem LF na coluna " + std::to_string(cr + 1) +
                             " (as linhas terminam em LF ou CR LF)");
    std::string aparada = Trim(linha);
    if (aparada.empty() || aparada[0] == '#') continue;
    size_t igual = linha.find('=');
    if (igual == std::string::npos) throw TErroArquivo(nome, numero, "esperado NUMERO=TEXTO");
    std::string id = Trim(linha.substr(0, igual));
    if (id.empty() || id.size() > 9 || id.find_first_not_of("0123456789") != std::string::npos)
      throw TErroArquivo(nome, numero, "número de mensagem inválido: " + id);
    std::string valor, motivo;
    if (!DesescapaValor(linha.substr(igual + 1), valor, &motivo, igual + 1))
      throw TErroArquivo(nome, numero, motivo);
    if (!lidas.emplace(static_cast<int32_t>(StrToIntDef(id, 0)), std::move(valor)).second)
      throw TErroArquivo(nome, numero, "mensagem " + id + " repetida");
  }
  return lidas;
}
} // namespace

void TPdvHost::CarregaMensagensTexto(const std::string &texto, const std::string &nome) {
  for (auto &[id, t] : LeMensagensTexto(texto, nome)) fMensagens[id] = std::move(t);
}

void TPdvHost::CarregaMensagens(const std::string &path) {
  CarregaMensagensTexto(LeArquivoInteiro(path, kLimiteArquivoTexto), path);
}

std::string TPdvHost::Mensagem(int32_t id) const {
  auto it = fMensagens.find(id);
  if (it != fMensagens.end() && !it->second.empty()) return it->second;
  const auto &padrao = MensagensPadrao();
  auto p = padrao.find(id);
  if (p != padrao.end()) return p->second;
  return Utf8ToCp1252("[mensagem " + std::to_string(id) + " não cadastrada]");
}

} // namespace pdv
