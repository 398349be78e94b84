// Small helpers for the form-layer tests: building forms in a few lines and keeping the
// process-wide application clean between tests.
#pragma once

#include "platform/Forms.h"
#include "platform/Script.h"
#include "platform/Transcript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Resets what one test may leave in the application (handlers, input, transcript).
class FormsTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override {
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

inline TForm *NewForm(const std::string &name) {
  TForm *f = new TForm(nullptr);
  f->Name = name;
  return f;
}

// One member of each transcript event of a kind, in order ("-" where it is null).
inline std::vector<std::string> EventField(const TScriptRun &run, const std::string &ev,
                                           const std::string &key) {
  std::vector<std::string> out;
  for (const auto &e : run.Events(ev))
    out.push_back(e[key].is_null() ? std::string("-") : e[key].get<std::string>());
  return out;
}

// True when the run ended only because the script ran out (every check in it held).
inline bool RanOut(const TScriptRun &run) {
  return run.error.find("the script ended") != std::string::npos;
}
