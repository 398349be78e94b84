// Personal data in what the program writes for people to read: the transcript, the pictures of the
// screens, the text picture of a failed script, the host's audit trail. Support staff copy these
// around, so a customer's document, account or cheque line must not be readable in them; the files
// that may still hold such data are created readable by their owner only.
//
// The form layer does not know what a control holds: whoever knows (the module, which knows its
// screens and buffers) names the controls whose text is personal and says how its buffers are
// masked, so that every host's logs mask the same things. Whether to mask is the host's choice:
// masking is off until someone turns it on, so that tests running in process read whole values.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class TControl;

class TPrivacy {
public:
  bool Masking() const { return fMasking; }
  void SetMasking(bool on) { fMasking = on; }
  // Controls, on any form, whose text is personal (names compare without regard to case).
  void SetPersonalControls(std::vector<std::string> names);
  bool IsPersonal(const TControl *c) const;
  // Whether the text of `c` must be masked now.
  bool Hides(const TControl *c) const { return fMasking && c && IsPersonal(c); }
  // How a buffer that goes with a request is masked (a text in, the masked text out). Without
  // one, long digit runs are masked (MaskDigitRuns).
  using TBufferMask = std::function<std::string(const std::string &)>;
  void SetBufferMask(TBufferMask mask) { fBufferMask = std::move(mask); }
  // A buffer's text as logs show it now: masked while masking is on, the text itself otherwise.
  std::string LoggedBuffer(const std::string &text) const;

private:
  bool fMasking = false;
  std::vector<std::string> fNames; // upper case
  TBufferMask fBufferMask;
};

// The process-wide policy (shared by the form layer, the module and the host).
TPrivacy &Privacy();

// A personal value as logs show it: letters and digits become '*', except the last four when the
// value has at least eight of them (enough for support to tell two documents apart, never enough
// to rebuild one); separators and blanks stay, so the shape of the value is still seen.
std::string MaskValue(const std::string &value);
// Free text that may hold personal numbers: every run of seven digits or more is masked as above.
// Shorter numbers (amounts, dates split by separators, codes) stay readable.
std::string MaskDigitRuns(const std::string &text);
// Free text (a message box, an audit line) as a log shows it now: MaskDigitRuns while masking is
// on, the text itself otherwise.
std::string LoggedText(const std::string &text);

// Opens a file that may hold personal data for writing (appending or truncating). A new file is
// created readable and writable by its owner only; an existing one keeps its mode. A symbolic
// link at `path` is not followed: whoever planted it would choose the file written. nullptr
// (errno set: ELOOP for a link) when it cannot be opened.
std::FILE *OpenPrivateFile(const std::string &path, bool append);
// Why OpenPrivateFile failed with `err`, for a message: "a symbolic link, not followed" for a
// link, the system's text otherwise.
std::string PrivateFileError(int err);
