#include "platform/trace_client/zv_trace_persistence.h"

#include <cstdio>

CZvNullTracePersistence CZvNullTracePersistence::sInstance;

bool CZvNullTracePersistence::read(const CZvString&, CZvByteStream& data) {
  data.clear();
  return false;
}

bool CZvNullTracePersistence::write(const CZvString&, const CZvByteStream&) { return true; }

namespace {
bool isSafeName(const CZvString& name) {
  return !name.isEmpty() && name.find('/') < 0 && name.find('\\') < 0 && name.at(0) != '.' &&
         static_cast<uint32_t>(std::char_traits<char>::length(name.c_str())) == name.length();
}
}  // namespace

CZvFileTracePersistence::CZvFileTracePersistence(const char* directory) : mDirectory(directory) {}

CZvString CZvFileTracePersistence::pathFor(const CZvString& name) const {
  if (!isSafeName(name)) return CZvString();
  CZvString path = mDirectory.isEmpty() ? CZvString(".") : mDirectory;
  path.append('/');
  path.append(name);
  path.append(".ztp");
  return path;
}

bool CZvFileTracePersistence::read(const CZvString& name, CZvByteStream& data) {
  data.clear();
  const CZvString path = pathFor(name);
  if (path.isEmpty()) return false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  uint8_t chunk[4096];
  size_t got;
  bool ok = true;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
    if (data.write(chunk, static_cast<uint32_t>(got)) != got) {
      ok = false;
      break;
    }
  }
  if (std::ferror(file)) ok = false;
  std::fclose(file);
  if (!ok) data.clear();
  return ok;
}

bool CZvFileTracePersistence::write(const CZvString& name, const CZvByteStream& data) {
  const CZvString path = pathFor(name);
  if (path.isEmpty()) return false;
  CZvString temporary = path;
  temporary.append(".tmp");
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = data.getSize() == 0 || std::fwrite(data.getData(), 1, data.getSize(), file) == data.getSize();
  if (std::fclose(file) != 0) ok = false;
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}
