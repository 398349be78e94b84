// Components: ownership and names.
#include "platform/forms/Components.h"
#include "platform/forms/Forms.h"
#include "platform/text/StrUtils.h"

#include <algorithm>

TComponent::TComponent(TComponent *AOwner) : fOwner(AOwner) {
  if (fOwner) fOwner->fComponents.push_back(this);
}

TComponent::~TComponent() {
  if (Application && Application != this) Application->ObjectGone(this);
  // Last created first; each one takes itself off this list as it goes.
  while (!fComponents.empty()) {
    TComponent *c = fComponents.back();
    c->fOwner = nullptr;
    fComponents.pop_back();
    delete c;
  }
  if (fOwner) {
    auto &list = fOwner->fComponents;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent *TComponent::FindComponent(const std::string &name) const {
  if (name.empty()) return nullptr;
  for (TComponent *c : fComponents)
    if (SameText(c->Name, name)) return c;
  return nullptr;
}

TComponent *TComponent::FindComponentDeep(const std::string &name) const {
  if (TComponent *c = FindComponent(name)) return c;
  for (TComponent *c : fComponents)
    if (!dynamic_cast<TForm *>(c)) // another form's controls are not this one's
      if (TComponent *found = c->FindComponentDeep(name)) return found;
  return nullptr;
}
