// Where the tool's measurements come from. The Linux source reads the kernel's
// accounting; tests put in a source of their own to get exact numbers and a
// virtual clock.
#ifndef MEMGAUGE_MEASUREMENT_SOURCE_H
#define MEMGAUGE_MEASUREMENT_SOURCE_H

#include <stdint.h>

namespace zv_memgauge {

class IZvMeasurementSource {
 public:
  virtual ~IZvMeasurementSource() = default;
  virtual bool readFreeBytes(int64_t* bytes) = 0;
  virtual bool readTotalBytes(int64_t* bytes) = 0;
  // Processors whose idle time is summed; 0 when it cannot be told.
  virtual int processorCount() = 0;
  // Idle time of all processors together since boot.
  virtual bool readIdleNanoseconds(int64_t* nanoseconds) = 0;
  virtual int64_t monotonicNanoseconds() = 0;
  // Sleeps, returning early when SIGALRM reaches the calling thread (which
  // keeps SIGALRM blocked while it is not sleeping).
  virtual void sleepMilliseconds(int milliseconds) = 0;
};

IZvMeasurementSource& measurementSource();
// Null puts back the Linux source. The caller keeps ownership.
void setMeasurementSourceForTesting(IZvMeasurementSource* source);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_MEASUREMENT_SOURCE_H
