#include "fbkit/params/parameter_container.h"

#include <algorithm>

bool CZvParameterContainer::addParameter(CZvParameterBase* parameter) {
  if (parameter == nullptr) return false;
  if (!contains(parameter)) mParameters.push_back(parameter);
  return true;
}

bool CZvParameterContainer::removeParameter(const CZvParameterBase* parameter) {
  auto it = std::find(mParameters.begin(), mParameters.end(), parameter);
  if (it == mParameters.end()) return false;
  mParameters.erase(it);
  return true;
}

bool CZvParameterContainer::contains(const CZvParameterBase* parameter) const {
  return std::find(mParameters.begin(), mParameters.end(), parameter) != mParameters.end();
}
