// Base class for objects that own something and must not be copied.
#ifndef PLATFORM_BASALT_ZV_NONCOPYABLE_H
#define PLATFORM_BASALT_ZV_NONCOPYABLE_H

class CZvNonCopyable {
 protected:
  CZvNonCopyable() = default;
  ~CZvNonCopyable() = default;

 public:
  CZvNonCopyable(const CZvNonCopyable&) = delete;
  CZvNonCopyable& operator=(const CZvNonCopyable&) = delete;
};

#endif  // PLATFORM_BASALT_ZV_NONCOPYABLE_H
