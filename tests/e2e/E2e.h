// Helpers of the end-to-end tests: a scratch directory per test, the real chequepdv run as a
// subprocess, and readers for what it leaves behind (transcript, transaction file, audit).
#pragma once

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/TempDir.h"

namespace e2e {

using Json = nlohmann::json;
using Keys = std::vector<std::pair<std::string, std::string>>;

// Where chequepdv and libcheque.so are built, and the checkout.
inline const std::string kBinDir = CHEQUE_BIN_DIR, kSourceDir = CHEQUE_SOURCE_DIR;
std::string PdvPath(); // $CHEQUE_E2E_PDV when set (the Windows replay), else the built one
using testsupport::ReadFile, testsupport::TempDir;

struct RunResult {
  int exitCode = -1; // -1 when killed by a signal or the time limit
  std::string out, err;
};
// Runs `program` with `args`, standard input from /dev/null, at most `timeoutMs`.
RunResult RunProgram(const std::string &program, const std::vector<std::string> &args,
                     int timeoutMs = 60000);
// Number of lines of a text, the last one counted without its line break.
int Lines(const std::string &s);

// The request of an authorize event on one line, in layout order: "F=V" ("F[i]=V" past index
// 0), "F-" absent, "@a.b.c" attribute bytes, 'T' a buffer or constant text, "FxR/N" the group
// of field F repeated R times over the N entries that follow; the byte 0x04 shows as "~".
std::string Request(const Json &authorize);

// One run of chequepdv in a scratch directory that holds the INI files, the script, the
// transcript and the transaction file.
struct Outcome {
  RunResult run;
  std::vector<Json> events;                 // the transcript
  std::map<std::string, std::string> store; // the transaction file after the run
  bool saved = false;                       // the transaction file exists
  std::vector<Json> Events(const std::string &ev) const;
  // Names of the forms with a given "what" (create, show, close, destroy), in order.
  std::vector<std::string> Forms(const std::string &what) const;
  // Result of the last close of a form, -1 when it never closed.
  int CloseResult(const std::string &form) const;
  std::vector<std::string> MessageBoxes() const;    // their texts, in order
  std::string Field(const std::string &key) const { // "-" when the file does not hold it
    return store.count(key) ? store.at(key) : "-";
  }
  std::string Diagnostics() const; // exit code, stderr, stdout: for failure messages
};

// The call returned normally: exit status 0, the owner window given back, the whole script
// played, and every form created and destroyed left exactly one "Criou: " / "Destruiu: "
// audit line with its name.
::testing::AssertionResult Completed(const Outcome &o);

class Session {
public:
  Session();
  TempDir dir;
  // INI files written into the directory before the run (left out when empty).
  std::string chequeIni, clienteIni, clienteTrnIni;
  std::string scenario;          // written and passed as --scenario when set
  std::vector<std::string> sets; // --set arguments
  // Options in place of the session's own (--dir, --messages, --store, --transcript,
  // --script) or beside them; an empty value leaves the option out.
  std::map<std::string, std::string> options;
  // Passes --unmasked: most tests compare whole values in the transcript; a test of what the
  // logs keep private turns it off.
  bool unmasked = true;

  Outcome Run(const std::vector<std::string> &operation, const std::string &script);
  std::string StorePath() const { return dir / "transacao.txt"; }
};

// "[NAME]" followed by "KEY=VALUE" lines.
std::string IniSection(const std::string &name, const Keys &keys);
// A Cheque.ini section of an enabled option with typed entry only (no data-entry menu).
std::string Option(const std::string &name, int code, int function, int network = 0,
                   const Keys &more = {});
// "click NAME" and "type TEXT" for each "NAME=TEXT" of "A=x|B=y": the operator fills those edits.
std::string Fill(const std::string &edits);
// The several-cheques grid filled with `count` cheques of `amount`: cheque i (from 0) has the
// line of 30 digits '1' + i and the date 0<i+1>/07/2024.
std::string Grid(int count, const std::string &amount);
std::string GridLine(int i); // that line

} // namespace e2e
