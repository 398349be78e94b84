// What the host program tells its user after a call: the screens shown, the message boxes,
// the errors handed to the point of sale and what the transaction file holds. Built by
// watching the transcript while the module runs.
#pragma once

#include <string>
#include <vector>

#include "platform/operator/Transcript.h"

class TPdvSummary {
public:
  TPdvSummary();
  ~TPdvSummary();
  TPdvSummary(const TPdvSummary &) = delete;
  TPdvSummary &operator=(const TPdvSummary &) = delete;

  struct TScreen {
    std::string name; // UTF-8
    int result = -1;  // modal result when closed, -1 while open, -2 hidden (non-modal)
  };
  const std::vector<TScreen> &Screens() const { return fScreens; }
  const std::vector<std::string> &MessageBoxes() const { return fBoxes; } // UTF-8
  int Authorizations() const { return fAuthorizations; }
  int AuditLines() const { return fAudit; }

  // The summary text (UTF-8). `call` names what was called, e.g. "ExecutaConsultaCheque(0)".
  std::string Text(const std::string &call) const;

private:
  void See(const TTranscript::Json &e);
  int fObserver = 0;
  std::vector<TScreen> fScreens;
  std::vector<std::string> fBoxes;
  int fAuthorizations = 0;
  int fAudit = 0;
};
