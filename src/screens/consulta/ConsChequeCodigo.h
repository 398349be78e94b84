// What the consultation screens of codes 72, 74, 78, 7C and F0 share. Each is the cheque
// consultation screen with its own request layout (and, but for F0, the consultation title);
// after the common request fields it writes the few fields and buffers that only its code
// sends. The pieces the codes have in common are here: the bank, branch and cheque number of
// codes 72, 74 and 78, and the cheque-data text, entry kind and telephones of 7C and F0.
#pragma once

#include <cstddef>
#include <string>

#include "module/ChequeMain.h"
#include "screens/consulta/ConsultaChequeTrnCheque.h"
#include "screens/consulta/LayoutsConsulta.h"

class TFrmCon_ChqCodigo : public TFrmChq_Trn {
public:
  void IniciaCamposForm() override;
  bool GravaCamposVelkor() override;

protected:
  // `nome` is the form's name and caption; `titulo`: the title shows the consultation's message.
  TFrmCon_ChqCodigo(TComponent *AOwner, const char *nome, TRequestLayout &layout, bool titulo);

  // What only this code writes, once the common fields are in the store; false at the first
  // write the store refuses.
  virtual bool GravaCamposCodigo() = 0;

  // Writes a field at index 0; false when the store refused it.
  static bool Grava(int campo, const std::string &valor);
  // The cheque was read as its CMC-7 line: the common part put the line in field 1005.
  static bool LidoPorCmc7();

  // Bank, branch and cheque number (fields 1029, 1030 and 1034), and the account as the
  // account buffer takes it ("CHQ1:" account ";" digit).
  struct TPrimeiraLinha {
    std::string banco, agencia, cheque, conta;
  };
  TPrimeiraLinha PrimeiraLinhaDigitada() const;
  // The same pieces cut from a CMC-7 line.
  static TPrimeiraLinha PrimeiraLinhaCmc7(const std::string &linha);
  static bool GravaPrimeiraLinha(const TPrimeiraLinha &l);

  // Codes 7C and F0: the person type as their request takes it ("1" company, "2" individual),
  // one cheque, the function type.
  bool GravaPessoaQuantidadeFuncao() const;
  // Codes 7C and F0: the cheque-data text, how the cheque was entered, and the telephone
  // buffers (the bare texts of the edits).
  void PreencheChequeETelefones(char (&dados)[41], char (&tipoEntrada)[2]) const;

private:
  TRequestLayout &fLayout;
  bool fTitulo;
};

// A text into a module buffer, cut to what it holds (terminator included); the rest of the
// buffer is zeroed.
template <size_t N> void CopiaBuffer(char (&buffer)[N], const std::string &texto) {
  GravaBufferEtiquetado(buffer, N, "", texto);
}

// The cheque-data text of a typed cheque for codes 7C and F0: the text of one of several
// code-70 cheques, with the cheque number split into all but its last digit and that digit,
// and never C2.
std::string DadosChequeCodigos7CF0(const TChequeDigitado &c, const std::string &tipoEntChqManual,
                                   bool usaC1);
