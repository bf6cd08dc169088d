// CZvParameterContainer: the parameters a function writes, in payload order.
// It lists parameters it does not own, each at most once.
#ifndef FBKIT_PARAMS_PARAMETER_CONTAINER_H
#define FBKIT_PARAMS_PARAMETER_CONTAINER_H

#include <cstdint>
#include <vector>

class CZvParameterBase;

class CZvParameterContainer {
 public:
  CZvParameterContainer() = default;
  explicit CZvParameterContainer(uint32_t capacity) { mParameters.reserve(capacity); }

  // Appends parameter unless it is already listed (or null); true when it
  // is listed afterwards.
  bool addParameter(CZvParameterBase* parameter);
  // Removes parameter from the list; false when it was not listed.
  bool removeParameter(const CZvParameterBase* parameter);
  bool contains(const CZvParameterBase* parameter) const;
  void clear() { mParameters.clear(); }

  uint32_t getSize() const { return static_cast<uint32_t>(mParameters.size()); }
  bool isEmpty() const { return mParameters.empty(); }
  // The parameter at index, or null beyond the end.
  CZvParameterBase* getParameter(uint32_t index) const {
    return index < mParameters.size() ? mParameters[index] : nullptr;
  }

  std::vector<CZvParameterBase*>::const_iterator begin() const { return mParameters.begin(); }
  std::vector<CZvParameterBase*>::const_iterator end() const { return mParameters.end(); }

 private:
  std::vector<CZvParameterBase*> mParameters;
};

#endif  // FBKIT_PARAMS_PARAMETER_CONTAINER_H
