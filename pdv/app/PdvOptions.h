// Command line of the reference host program: what to call in the module and with which
// configuration, store, scenario and operator input.
#pragma once

#include <string>
#include <vector>

enum class TPdvOperation { None, Versao, Venda, PreAutorizacao, Adm, Consulta, Generico, Atende };

struct TPdvOptions {
  TPdvOperation operation = TPdvOperation::None;
  int number = 0;                // the operation number handed to the module
  std::string dir;               // --dir: where the INI files are read (CHEQUE_DIR)
  std::string store;             // --store: the transaction file
  std::vector<std::string> sets; // --set FIELD-INDEX=VALUE, in command-line order
  std::string script;            // --script: operator script
  std::string scenario;          // --scenario
  std::string messages;          // --messages
  std::string transcript;        // --transcript
  std::string module;            // --module: path of the module library
  std::string audit;             // --audit: the host's audit trail file
  std::string pictures;          // --pictures: directory for SVG pictures of the screens
  bool unmasked = false;         // --unmasked: personal data in clear in the logs (support)
  std::string atende;            // atende DIR: the exchange folder
  std::string scripts;           // --scripts DIR: atende's operator scripts, one per operation
  bool venezuela = false;        // --venezuela: atende's CNC is the Venezuelan cancellation
  bool help = false;
};

// Parses argv[1..]. False with a one-line reason in `error` when the arguments are wrong.
bool ParsePdvOptions(int argc, const char *const *argv, TPdvOptions &out, std::string &error);

// Splits "FIELD-INDEX=VALUE" (FIELD 1..2^31-1, INDEX 0..2^31-1). The value is returned as
// written (its escapes are the transaction file's and are decoded by the host).
bool SplitFieldAssignment(const std::string &text, int &field, int &index, std::string &value,
                          std::string &error);

const char *PdvOperationName(TPdvOperation op);
std::string PdvUsage();
