// Panels, images and timers: the containers and pictures the screens are laid out with, and the
// timer the modal loop fires.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms/Controls.h"

class TImage : public TControl { // a placeholder picture
public:
  using TControl::TControl;
  bool Stretch = false;
  std::string Picture; // name of the picture resource (not drawn by the headless layer)
  const char *ClassName() const override { return "TImage"; }
};

class TPanel : public TWinControl {
public:
  explicit TPanel(TComponent *AOwner) : TWinControl(AOwner) { TabStop = false; }
  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvRaised;
  int BevelWidth = 1;
  const char *ClassName() const override { return "TPanel"; }
};

class TTimer : public TComponent {
public:
  using TComponent::TComponent;
  ~TTimer() override;
  int Interval = 1000; // milliseconds; a timer with an interval of 0 never fires
  TNotifyEvent OnTimer;
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool v); // (re)starts counting from the current time
  int64_t Due() const { return fDue; }

private:
  bool fEnabled = false;
  int64_t fDue = 0;
  friend class TApplication;
};
