#include "screens/consulta/ConsF0Cheque.h"

#include "host/Host.h"

TFrmCon_ChqF0 *FrmCon_ChqF0 = nullptr;
static TEsqueceForm<TFrmCon_ChqF0, FrmCon_ChqF0> registro;

bool TFrmCon_ChqF0::GravaCamposCodigo() {
  if (!GravaPessoaQuantidadeFuncao()) return false;
  PreencheChequeETelefones(ConsF0Cheque::DadosCheque, ConsF0Cheque::TipoEntradaCheque);
  // The opening month and year as digits; an edit showing only its mask sends nothing.
  const std::string abertura = edAberturaCC->Text();
  CopiaBuffer(DataAberturaOpcional, abertura.empty() || abertura == "  /    "
                                        ? std::string()
                                        : Host().RemoveFormato(abertura));
  return true;
}

TFrmCon_ChqF0::TFrmCon_ChqF0(TComponent *AOwner)
    : TFrmCon_ChqCodigo(AOwner, "FrmCon_ChqF0", TrnConsultaChequeF0, false) {}
