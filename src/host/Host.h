// The module's only way to the host: its field store and its services. Screens and the main
// unit call Host(); the real module forwards to the host's C functions, tests install a fake.
// Strings are Windows-1252. Out-strings of the C contract become return values here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The request layout record (TRequestLayout, TLayoutEntry and its builder) and the network
// question record (TPergunta, 39 bytes, packed) belong to the host contract.
#include <cheque/host.h>
#include <cheque/layout.h>

struct TRespostaTeclado {
  char Texto[24];
};
struct TRespostaPinpad {
  char Texto[26];
};
struct TRespostaCartao {
  char Texto[38];
};
struct TRespostasPerguntas {
  std::vector<TRespostaTeclado> Teclado;
  std::vector<TRespostaPinpad> Pinpad;
  std::vector<TRespostaCartao> Cartao;
};

using THandle = TChequeHandle; // windows and the status label travel as opaque handles

class IHost {
public:
  virtual ~IHost() = default;

  // Field store.
  virtual uint16_t VelkorGravaCampo(int field, int index, const void *data, uint16_t length) = 0;
  // Reads into `out` (at most `capacity` bytes). Returns VELKOR_OK (0) when the value exists
  // and fits, VELKOR_CORTADO when it was cut to `capacity`, VELKOR_AUSENTE when absent.
  virtual uint16_t VelkorLeCampo(int field, int index, std::string &out,
                                 uint16_t capacity = 8192) = 0;
  virtual void VelkorLimpaCampo(int field) = 0;
  virtual void VelkorGravaArquivo() = 0;
  virtual void VelkorSetaCupomNegada(int field) = 0;
  virtual std::string LeCampo(int field, int index) = 0; // empty when absent
  virtual uint16_t GravaCampoString(int field, int index, const std::string &text) = 0;

  // Messages and reporting.
  virtual std::string LeMensagens(int id) = 0;
  virtual void EnviaArquivoErroPDV(int code, const std::string &text) = 0;

  // Transaction.
  virtual int AutorizaTransacao(const TRequestLayout *layout, THandle statusLabel, int mode) = 0;
  virtual bool PermiteAlterarDados() = 0;
  virtual bool VerificaServico5(const std::string &prefix, int mode) = 0;
  virtual bool VerificaServico5Perguntas(std::vector<TPergunta> &perguntas,
                                         TRespostasPerguntas &respostas) = 0;
  virtual void Leitura_Dados_ServicoQ_Timeout_Venezuela() = 0;
  virtual void Monta_Comprovante_ServicoQ_Timeout_Venezuela() = 0;

  // Input functions.
  virtual char ValKeyBoard(char &key) = 0;
  virtual void PermiteNumerico_BS_Enter(char &key) = 0;
  virtual std::string RemoveFormato(const std::string &text) = 0;
  virtual std::string Dollar(const std::string &digits) = 0;
  virtual bool VerificaCPF(const std::string &text) = 0;
  virtual bool VerificaCNPJ(const std::string &text) = 0;
  virtual std::string PreencherZerosEsquerda(const std::string &text, int width) = 0;
  virtual std::string CopyString(const std::string &source, int a, int b) = 0;
  virtual std::string GetBuildInfo(const std::string &moduleFile) = 0;

  // PIN pad, BIN lookup, audit, windows.
  virtual uint16_t LerSenha(THandle window, const std::string &prompt1, const std::string &prompt2,
                            int mode, char title[128]) = 0;
  virtual uint16_t ObtemCampoPinpad(THandle window, const std::string &question,
                                    const std::string &prompt, char title[128], int minLen,
                                    int maxLen) = 0;
  virtual bool FazConsultaBinsRedeDestino(int mode, THandle statusLabel) = 0;
  virtual void GravaAudit(int kind, const std::string &text) = 0;
  virtual void ColocaJanelaEmPrimeiroPlano(THandle window) = 0;
};

// The host in force: the one given to SetHost, else the registered default (the C-contract
// forwarder, which registers itself when the module library is loaded). With neither, Host()
// throws std::logic_error.
IHost &Host();
void SetHost(IHost *host);            // nullptr restores the default
void RegistraHostPadrao(IHost *host); // the default (nullptr: none)
