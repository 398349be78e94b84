// Small helpers for the form-layer tests: building forms in a few lines and keeping the
// process-wide application clean between tests.
#pragma once

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/operator/Script.h"
#include "platform/operator/Transcript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline TForm *NewForm(const std::string &name) {
  TForm *f = new TForm(nullptr);
  f->Name = name;
  return f;
}

// A form for the test, freed at its end; resets what one test may leave in the application
// (handlers, input, transcript).
class FormsTest : public ::testing::Test {
protected:
  TForm *f = NewForm("FrmTeste");
  void SetUp() override { Reset(); }
  void TearDown() override {
    f->Free();
    Reset();
    Transcript().SetKeepInMemory(false);
  }
  static void Reset() {
    Application->OnException = nullptr;
    Application->ExceptionHandlerOwner = nullptr;
    Application->SetInputSource(nullptr);
    Transcript().Clear();
  }
};

template <class T>
T *Add(TForm *f, TWinControl *parent, const std::string &name, int tabOrder = 0) {
  T *c = NewControl<T>(f, parent ? parent : f, name);
  c->TabOrder = tabOrder;
  return c;
}

inline TBitBtn *AddButton(TForm *f, TWinControl *parent, const std::string &name,
                          const std::string &caption, int tabOrder = 0) {
  TBitBtn *b = Add<TBitBtn>(f, parent, name, tabOrder);
  b->SetCaption(caption);
  return b;
}

// True when the run ended only because the script ran out (every check in it held).
inline bool RanOut(const TScriptRun &run) {
  return run.error.find("the script ended") != std::string::npos;
}
