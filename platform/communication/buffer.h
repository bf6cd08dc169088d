// Buffer: a block of heap bytes with a write cursor, used to build texts and
// messages of bounded size.
#ifndef PLATFORM_COMMUNICATION_BUFFER_H
#define PLATFORM_COMMUNICATION_BUFFER_H

namespace communication {

class Buffer {
 public:
  // Allocates |capacity| bytes; on allocation failure the capacity is 0.
  explicit Buffer(unsigned long capacity);
  ~Buffer();
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  char* start() const { return start_; }
  char* cursor() const { return cursor_; }
  unsigned long capacity() const { return capacity_; }
  unsigned long length() const { return static_cast<unsigned long>(cursor_ - start_); }
  unsigned long available() const { return capacity_ - length(); }

  // Moves the cursor by |count| bytes written directly at cursor();
  // false (and no move) when that would pass the end.
  bool advance(unsigned long count);
  // Moves the cursor back to the start; the bytes stay allocated.
  void clear() { cursor_ = start_; }

  // Appends |text| and keeps the content NUL-terminated (the NUL is not
  // counted in length()). Text that does not fit is cut; returns the number
  // of characters appended.
  unsigned long append(const char* text);
  // printf-style append with the same cutting rule.
  unsigned long appendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Frees the bytes; the buffer is then empty with capacity 0.
  void release();

 private:
  char* start_ = nullptr;
  char* cursor_ = nullptr;
  unsigned long capacity_ = 0;
};

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_BUFFER_H
