#include "platform/loom/component_info.h"

#include "platform/loom/process_info.h"

namespace {

thread_local const CZvComponentInfo* tCurrentComponent = nullptr;

const CZvComponentInfo& defaultComponent() {
  // Named once, at first use; never destroyed, so threads still running at
  // exit may use it.
  static const CZvComponentInfo* component =
      new CZvComponentInfo(ZvApplication::getProcessName().c_str());
  return *component;
}

}  // namespace

const CZvComponentInfo& CZvComponentInfo::getCurrentComponent() {
  return tCurrentComponent ? *tCurrentComponent : defaultComponent();
}

std::string CZvComponentInfo::getCurrentComponentName() { return getCurrentComponent().getName(); }

const CZvComponentInfo* CZvComponentInfo::setCurrentComponent(const CZvComponentInfo* component) {
  const CZvComponentInfo* previous = tCurrentComponent;
  tCurrentComponent = component;
  return previous;
}
