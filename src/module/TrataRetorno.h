// Answers that the main unit handles itself: the CDL POA records (free text
// shown to the operator, structured registers stored for the point of sale) and
// the text-to-memo routine their display uses.
#pragma once

#include <cstddef>
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

// One register found in a structured block: where it starts and how long it is.
struct TRegistroCDLPoa {
  size_t inicio;
  size_t tamanho;
};
// The registers of a block in order. The walk stops after the register whose
// continuation flag is not "1", at a type code it does not know, and at a
// register that the block ends inside of: it never looks past the `tamanho`
// bytes it was given.
std::vector<TRegistroCDLPoa> PercorreRegistrosCDLPoa(const char *bloco, size_t tamanho);
