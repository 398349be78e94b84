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
  void SetUp() override {
    Application->OnException = nullptr;
    Application->ExceptionHandlerOwner = nullptr;
    Application->SetInputSource(nullptr);
    Transcript().Clear();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    Application->ExceptionHandlerOwner = nullptr;
    Application->SetInputSource(nullptr);
    Transcript().SetKeepInMemory(false);
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

// The `what` of the transcript's form events, as "Name:what" (with ":result" for close).
inline std::vector<std::string> FormEvents(const TScriptRun &run) {
  std::vector<std::string> out;
  for (const auto &e : run.Events("form")) {
    std::string s = e["form"].get<std::string>() + ":" + e["what"].get<std::string>();
    if (e.contains("result")) s += ":" + std::to_string(e["result"].get<int>());
    out.push_back(s);
  }
  return out;
}

inline std::vector<std::string> FocusEvents(const TScriptRun &run) {
  std::vector<std::string> out;
  for (const auto &e : run.Events("focus"))
    out.push_back(e["control"].is_null() ? std::string("-") : e["control"].get<std::string>());
  return out;
}
