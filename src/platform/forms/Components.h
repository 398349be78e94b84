// Basic classes and events of the form layer: TObject and TComponent (ownership, names), the
// errors event dispatch knows, the key codes and shift states, modal results, the event types every
// control uses, fonts and alignments. Nothing here knows a control or a form.
//
// Conventions of the whole form layer: properties whose change has effects (Text, Caption,
// Visible, Enabled, masks, grid sizes ...) are methods X() / SetX(v); plain data (geometry, Name,
// Tag, TabOrder, MaxLength, fonts, colours, handlers) are public members. Strings are Windows-1252.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using Word = uint16_t;

// Virtual key codes of the non-character keys (the platform's values).
enum : Word {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_PRIOR = 33,
  VK_NEXT = 34,
  VK_END = 35,
  VK_HOME = 36,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_DELETE = 46,
  VK_F1 = 112,
  VK_F12 = 123,
};
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

// Modal results.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

class TObject {
public:
  virtual ~TObject() = default;
};

// Errors raised by the platform or by handlers. Every event dispatch catches them and hands them to
// Application->OnException.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string &msg) : std::runtime_error(msg) {}
  std::string Message() const { return what(); }
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
class EDBEditError : public Exception { // masked-edit validation
  using Exception::Exception;
};
// The operator script failed or ran out: never swallowed by event dispatch; ends the run.
class EScriptFailure : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The platform's message when focus is asked of a control that cannot take it.
inline constexpr const char *CannotFocusMessage = "Cannot focus a disabled or invisible window";

using TNotifyEvent = std::function<void(TObject *Sender)>;
using TKeyPressEvent = std::function<void(TObject *Sender, char &Key)>;
using TKeyEvent = std::function<void(TObject *Sender, Word &Key, TShiftState Shift)>;

class TComponent : public TObject {
public:
  explicit TComponent(TComponent *AOwner);
  ~TComponent() override; // destroys the components it owns, last created first
  TComponent(const TComponent &) = delete;
  TComponent &operator=(const TComponent &) = delete;

  std::string Name;
  int Tag = 0;

  TComponent *Owner() const { return fOwner; }
  int ComponentCount() const { return (int)fComponents.size(); }
  TComponent *Components(int i) const { return fComponents.at(i); }
  TComponent *FindComponent(const std::string &name) const; // case-insensitive, owned only
  // Like FindComponent, then among the components of the owned components (depth first), without
  // looking into owned forms.
  TComponent *FindComponentDeep(const std::string &name) const;

private:
  TComponent *fOwner = nullptr;
  std::vector<TComponent *> fComponents;
};

struct TFont {
  std::string Name = "MS Sans Serif";
  int Size = 8;
  bool Bold = false;
  int Color = 0; // 0x00BBGGRR, as the platform's colours
};
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised };
