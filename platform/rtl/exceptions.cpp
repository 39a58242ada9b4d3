#include "rtl/exceptions.h"

#include <cerrno>
#include <cstring>

namespace zef {

EInOutError InOutErrorFromErrno(int Errno, const std::string& FileName) {
  int code;
  std::string text;
  switch (Errno) {
    case ENOENT: code = 2; text = "File not found"; break;
    case ENOTDIR: code = 3; text = "Path not found"; break;
    case EACCES:
    case EPERM:
    case EROFS: code = 5; text = "Access denied"; break;
    case ENOSPC: code = 101; text = "Disk full"; break;
    default: code = Errno; text = std::strerror(Errno); break;
  }
  if (!FileName.empty()) text += ": \"" + FileName + "\"";
  return EInOutError(text, code, Errno);
}

} // namespace zef
