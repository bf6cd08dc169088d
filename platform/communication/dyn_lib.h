// DynLib: a shared library loaded at run time.
#ifndef PLATFORM_COMMUNICATION_DYN_LIB_H
#define PLATFORM_COMMUNICATION_DYN_LIB_H

#include <string>

namespace communication {

class DynLib {
 public:
  // |name| labels the object in its owner's messages; it may be empty.
  explicit DynLib(const char* name = "");
  // Unloads the library if it is still open.
  ~DynLib();
  DynLib(const DynLib&) = delete;
  DynLib& operator=(const DynLib&) = delete;

  // Loads |path| (with immediate binding of its own symbols). A library
  // already open here is closed first. True on success.
  bool open(const char* path);
  // Address of |symbol| in the open library, or null.
  void* loadFunc(const char* symbol);
  // Unloads the library; nothing happens when none is open.
  void close();
  // Gives up the library without unloading it: it stays loaded for the
  // rest of the process, and this object forgets it.
  void detach() { handle_ = nullptr; }

  bool isOpen() const { return handle_ != nullptr; }
  const char* name() const { return name_.c_str(); }
  // Null after a successful open() or loadFunc(), otherwise the loader's
  // message of the last failed call. Valid until the next call.
  const char* error() const { return hasError_ ? error_.c_str() : nullptr; }

 private:
  void setError(const char* text);

  std::string name_;
  void* handle_ = nullptr;
  bool hasError_ = false;
  std::string error_;
};

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_DYN_LIB_H
