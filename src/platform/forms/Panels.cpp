// Panels, images and timers: the timer's counting (panels and images are their header's data).
#include "platform/forms/Panels.h"
#include "platform/forms/Forms.h"

TTimer::~TTimer() {
  if (Application) Application->UnregisterTimer(this);
}

void TTimer::SetEnabled(bool v) {
  fEnabled = v;
  if (!Application) return;
  if (v) {
    fDue = Application->Now() + Interval;
    Application->RegisterTimer(this);
  } else {
    Application->UnregisterTimer(this);
  }
}
