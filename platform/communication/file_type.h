// FileType: classifies a file name by its extension.
#ifndef PLATFORM_COMMUNICATION_FILE_TYPE_H
#define PLATFORM_COMMUNICATION_FILE_TYPE_H

namespace communication {

class FileType {
 public:
  // The values are stable: callers compare against kPng (3).
  enum Type { kUnknown = 0, kRaw = 1, kBmp = 2, kPng = 3, kJpeg = 4, kText = 5 };

  FileType() = default;
  explicit FileType(const char* fileName) { *this = fileName; }
  // Classifies |fileName| (null gives kUnknown). Only the extension of the
  // last path component counts, compared without regard to case.
  FileType& operator=(const char* fileName);

  Type type() const { return type_; }
  bool operator==(Type other) const { return type_ == other; }
  bool operator!=(Type other) const { return type_ != other; }

 private:
  Type type_ = kUnknown;
};

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_FILE_TYPE_H
