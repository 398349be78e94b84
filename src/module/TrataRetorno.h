// Answers that the main unit handles itself: the CDL POA records (free text
// shown to the operator, structured registers stored for the point of sale) and
// the text-to-memo routine their display uses.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TLabel;
class TMemo;

// Handles the whole CDL POA answer left in the store (fields 1009, 20143 and
// 20033). False when there is no answer to handle or storing its registers
// failed.
bool TrataServicoX_CDLPoa(TLabel *lbTitulo);
// Stores the registers of one structured block in field 1189 (and their count
// in 1190).
bool TrataRetornoRegistrosCDLPOA(const char *bloco, int tamanho);
// Fills the memo with the response message (field 1027) and the lines of the
// text.
bool TrataRetornoTexto(const char *texto, int tamanho, TMemo *memo);

// Length of a CDL POA register by its type code (1, 2, 3, 4, 5, 6, 999); 0 when
// unknown.
size_t TamanhoRegistroCDLPoa(int tipo);

// One register found in a structured block: where it starts and its length
// by the table of types. The last register may run past the end of the block;
// its missing bytes are zeros.
struct TRegistroCDLPoa {
  size_t inicio;
  size_t tamanho;
};
// What a walk of a block found: the registers in order, and the value for
// field 1190 (0 when it is not written).
struct TBlocoCDLPoa {
  std::vector<TRegistroCDLPoa> registros;
  int quantidade = 0;
};
// Walks a block of registers. Each is preceded by three skipped bytes; the walk
// goes on while the table lengths of the registers seen add up to less than the
// block, and stops at a type code it does not know and after a register whose
// continuation flag is not "1". It reads only the `tamanho` bytes given: past
// them the block reads as zeros.
TBlocoCDLPoa PercorreRegistrosCDLPoa(const char *bloco, size_t tamanho);
// The bytes of one register, at its full table length.
std::string CopiaRegistroCDLPoa(const char *bloco, size_t tamanho, const TRegistroCDLPoa &r);
