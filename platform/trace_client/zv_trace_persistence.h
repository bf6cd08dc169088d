// Persistence of trace settings: named blobs of bytes.
#ifndef PLATFORM_TRACE_CLIENT_ZV_TRACE_PERSISTENCE_H
#define PLATFORM_TRACE_CLIENT_ZV_TRACE_PERSISTENCE_H

#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_string.h"

class IZvTracePersistence {
 public:
  virtual ~IZvTracePersistence() = default;
  // Replaces data with what is stored under name; false (data empty) when
  // nothing is stored.
  virtual bool read(const CZvString& name, CZvByteStream& data) = 0;
  // Stores data under name; false on failure.
  virtual bool write(const CZvString& name, const CZvByteStream& data) = 0;
};

// Keeps nothing: reads find nothing, writes are dropped (and succeed).
class CZvNullTracePersistence : public IZvTracePersistence {
 public:
  static CZvNullTracePersistence sInstance;
  bool read(const CZvString& name, CZvByteStream& data) override;
  bool write(const CZvString& name, const CZvByteStream& data) override;
};

// One file per name in a directory: "<directory>/<name>.ztp". Names that are
// empty, contain '/' or '\\', or begin with '.' are refused, so a name can
// never reach outside the directory. Writes go through a temporary file and
// a rename, so a crash never leaves a half-written file.
class CZvFileTracePersistence : public IZvTracePersistence {
 public:
  explicit CZvFileTracePersistence(const char* directory);
  bool read(const CZvString& name, CZvByteStream& data) override;
  bool write(const CZvString& name, const CZvByteStream& data) override;
  CZvString pathFor(const CZvString& name) const;

 private:
  CZvString mDirectory;
};

#endif  // PLATFORM_TRACE_CLIENT_ZV_TRACE_PERSISTENCE_H
