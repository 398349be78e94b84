// Pictures of the screens: SVG drawings of a form at its own pixel geometry,
// with its colours, fonts and captions, and of a message box over it. A picture
// writer takes one every time a form is shown or a message box opens, numbered
// in order: 001-FrmRedes_Mnu.svg, 002-msgbox.svg ...
#pragma once

#include <string>
#include <vector>

#include "platform/forms/Forms.h"

// The SVG of `form` as it looks now, with `box` (when given) open over it.
// Either may be null (no form: an empty screen).
std::string ScreenSvg(const TForm *form, const TMessageBoxState *box = nullptr);

class TPictureWriter {
public:
  // Pictures go into `dir` (created when missing). The writer watches the
  // transcript from now until it is destroyed.
  explicit TPictureWriter(const std::string &dir);
  ~TPictureWriter();
  TPictureWriter(const TPictureWriter &) = delete;
  TPictureWriter &operator=(const TPictureWriter &) = delete;

  // The files written so far, in order (full paths).
  const std::vector<std::string> &Files() const { return fFiles; }
  // False when the directory could not be made or a file not written.
  bool Ok() const { return fOk; }

  // Takes a picture of the screen now (the active form, and the open box when
  // `what` is "msgbox"), named after `what`.
  void Take(const std::string &what);

private:
  std::string fDir;
  std::vector<std::string> fFiles;
  bool fOk = true;
  int fObserver = 0;
  int fRepaint = 0;
  struct TPending {
    std::string name;
    const TForm *form; // nullptr for a message box
  };
  std::vector<TPending> fPending; // shown forms and boxes waiting for the screen to settle
  void Settle();
  void Write(const std::string &what, const TForm *form, const TMessageBoxState *box);
};
