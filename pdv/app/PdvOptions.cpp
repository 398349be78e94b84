#include "PdvOptions.h"

#include <charconv>
#include <cstdint>

namespace {

bool ParseInt(const std::string &s, long long lo, long long hi, long long &out) {
  if (s.empty()) return false;
  const char *b = s.data();
  const char *e = b + s.size();
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, e, out);
  return ec == std::errc() && p == e && out >= lo && out <= hi;
}

struct TOperationName {
  const char *name;
  TPdvOperation op;
  bool needsNumber; // adm and generico name the function; the others take an optional one
  bool takesNumber;
};
constexpr TOperationName kOperations[] = {
    {"versao", TPdvOperation::Versao, false, false},
    {"venda", TPdvOperation::Venda, false, true},
    {"preautorizacao", TPdvOperation::PreAutorizacao, false, true},
    {"adm", TPdvOperation::Adm, true, true},
    {"consulta", TPdvOperation::Consulta, false, true},
    {"generico", TPdvOperation::Generico, true, true},
    {"atende", TPdvOperation::Atende, true, true}, // its argument is the folder
};

} // namespace

const char *PdvOperationName(TPdvOperation op) {
  for (const auto &o : kOperations)
    if (o.op == op) return o.name;
  return "";
}

std::string PdvUsage() {
  return "usage: chequepdv [options] OPERATION\n"
         "operations:\n"
         "  versao            print the two texts of ObtemVersao\n"
         "  venda             ExecutaVenda\n"
         "  preautorizacao    ExecutaPreAutorizacao\n"
         "  adm N             ExecutaFuncaoADM with operation N (1, 6)\n"
         "  consulta          ExecutaConsultaCheque\n"
         "  generico N        ExecutaGenerico with operation N (11)\n"
         "  atende DIR        serve the point of sale's request files in DIR/req, answering\n"
         "                    in DIR/resp (docs/troca.md)\n"
         "options:\n"
         "  --dir DIR         where Cheque.ini, Cliente.ini and ClienteTrn.ini are read\n"
         "  --store FILE      transaction file: loaded before the call when it exists,\n"
         "                    saved when the module asks\n"
         "  --set F-I=VALUE   a field the point of sale supplies (repeatable)\n"
         "  --script FILE     operator script (without it, on a terminal: the interactive "
         "screens)\n"
         "  --scenario FILE   authorisation, PIN pad and BIN-lookup scenario\n"
         "  --messages FILE   operator message table\n"
         "  --transcript FILE JSON Lines transcript of the session\n"
         "  --module PATH     module library (default: libcheque.so beside chequepdv)\n"
         "  --audit FILE      append the host's audit trail to FILE\n"
         "  --pictures DIR    write an SVG picture of every screen shown and message box\n"
         "  --unmasked        support only: write CPF/CNPJ, accounts, CMC-7 lines and PIN-pad\n"
         "                    answers in clear in the transcript, the audit trail and the\n"
         "                    pictures\n"
         "  --scripts DIR     atende: the operator scripts of DIR, one per operation in\n"
         "                    name order\n"
         "  --venezuela       atende: CNC is the Venezuelan cancellation (adm 1)\n"
         "  --help            this text\n"
         "exit status: 0 the call returned, 2 bad arguments, 3 a file refused before the call,\n"
         "  4 the module cannot be used, 5 the operator script failed or the terminal closed,\n"
         "  6 the transaction file (or the point of sale's error file) could not be written\n";
}

bool SplitFieldAssignment(const std::string &text, int &field, int &index, std::string &value,
                          std::string &error) {
  const auto eq = text.find('=');
  const auto dash = text.find('-');
  if (eq == std::string::npos || dash == std::string::npos || dash > eq) {
    error = "expected FIELD-INDEX=VALUE, got \"" + text + "\"";
    return false;
  }
  auto trim = [](const std::string &s) {
    const auto b = s.find_first_not_of(" \t");
    const auto e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
  };
  long long f = 0, i = 0;
  if (!ParseInt(trim(text.substr(0, dash)), 1, 0x7fffffff, f) ||
      !ParseInt(trim(text.substr(dash + 1, eq - dash - 1)), 0, 0x7fffffff, i)) {
    error = "bad field or index in \"" + text + "\"";
    return false;
  }
  field = (int)f;
  index = (int)i;
  value = trim(text.substr(eq + 1));
  return true;
}

bool ParsePdvOptions(int argc, const char *const *argv, TPdvOptions &out, std::string &error) {
  out = TPdvOptions{};
  std::vector<std::string> positional;
  struct TValueOption {
    const char *name;
    std::string *target;
  };
  const TValueOption valued[] = {
      {"--dir", &out.dir},           {"--store", &out.store},
      {"--script", &out.script},     {"--scenario", &out.scenario},
      {"--messages", &out.messages}, {"--transcript", &out.transcript},
      {"--module", &out.module},     {"--audit", &out.audit},
      {"--pictures", &out.pictures}, {"--scripts", &out.scripts},
  };
  bool onlyPositional = false;
  for (int k = 1; k < argc; ++k) {
    std::string arg = argv[k];
    if (onlyPositional || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
      positional.push_back(arg); // "-1" is a (negative) operation number, not an option
      continue;
    }
    if (arg == "--") {
      onlyPositional = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      out.help = true;
      continue;
    }
    if (arg == "--unmasked") {
      out.unmasked = true;
      continue;
    }
    if (arg == "--venezuela") {
      out.venezuela = true;
      continue;
    }
    std::string name = arg, value;
    bool inlineValue = false;
    if (auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    auto takeValue = [&](std::string &dest) {
      if (!inlineValue) {
        if (k + 1 >= argc) {
          error = name + " needs a value";
          return false;
        }
        value = argv[++k];
      }
      if (value.empty()) {
        error = name + " needs a value";
        return false;
      }
      dest = value;
      return true;
    };
    if (name == "--set") {
      std::string v;
      if (!takeValue(v)) return false;
      int f, i;
      std::string val;
      if (!SplitFieldAssignment(v, f, i, val, error)) {
        error.insert(0, "--set: ");
        return false;
      }
      out.sets.push_back(v);
      continue;
    }
    bool known = false;
    for (const auto &o : valued) {
      if (name != o.name) continue;
      known = true;
      if (!o.target->empty()) {
        error = name + " given twice";
        return false;
      }
      if (!takeValue(*o.target)) return false;
      break;
    }
    if (!known) {
      error = "unknown option " + name;
      return false;
    }
  }
  if (out.help) return true;
  if (positional.empty()) {
    error = "no operation given (versao, venda, preautorizacao, adm N, consulta, generico N)";
    return false;
  }
  const TOperationName *op = nullptr;
  for (const auto &o : kOperations)
    if (positional[0] == o.name) op = &o;
  if (!op) {
    error = "unknown operation \"" + positional[0] + "\"";
    return false;
  }
  out.operation = op->op;
  if (positional.size() > (op->takesNumber ? 2u : 1u)) {
    error = "too many arguments after " + positional[0];
    return false;
  }
  if (op->op == TPdvOperation::Atende) {
    if (positional.size() != 2 || positional[1].empty()) {
      error = "atende needs the exchange folder";
      return false;
    }
    out.atende = positional[1];
  } else if (positional.size() == 2) {
    long long n = 0;
    if (!ParseInt(positional[1], INT32_MIN, INT32_MAX, n)) {
      error = positional[0] + ": \"" + positional[1] + "\" is not an operation number";
      return false;
    }
    out.number = (int)n;
  } else if (op->needsNumber) {
    error = positional[0] + " needs an operation number";
    return false;
  }
  return true;
}
