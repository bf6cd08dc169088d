// CZvComponentInfo: the component a thread is working for.
//
// A component is a named unit of an application. Each thread has a current
// component; a thread that never set one works for the process's default
// component, named like the process.
#ifndef PLATFORM_LOOM_COMPONENT_INFO_H
#define PLATFORM_LOOM_COMPONENT_INFO_H

#include <string>

class CZvComponentInfo {
 public:
  explicit CZvComponentInfo(const char* name) : mName(name ? name : "") {}
  CZvComponentInfo(const CZvComponentInfo&) = delete;
  CZvComponentInfo& operator=(const CZvComponentInfo&) = delete;

  const std::string& getName() const { return mName; }

  // The calling thread's current component; never null.
  static const CZvComponentInfo& getCurrentComponent();
  // Name of the calling thread's current component.
  static std::string getCurrentComponentName();
  // Makes |component| the calling thread's current component (null: the
  // default component). The component must outlive that use. Returns the
  // previous one (null if it was the default).
  static const CZvComponentInfo* setCurrentComponent(const CZvComponentInfo* component);

 private:
  const std::string mName;
};

// Makes a component current for the calling thread for one scope.
class CZvComponentScope {
 public:
  explicit CZvComponentScope(const CZvComponentInfo& component)
      : mPrevious(CZvComponentInfo::setCurrentComponent(&component)) {}
  ~CZvComponentScope() { CZvComponentInfo::setCurrentComponent(mPrevious); }
  CZvComponentScope(const CZvComponentScope&) = delete;
  CZvComponentScope& operator=(const CZvComponentScope&) = delete;

 private:
  const CZvComponentInfo* mPrevious;
};

#endif  // PLATFORM_LOOM_COMPONENT_INFO_H
