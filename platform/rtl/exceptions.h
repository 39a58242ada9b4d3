// Exceptions of the run-time layer. Every exception of the suite derives from Exception,
// which is a std::exception carrying a UTF-8 message.
#pragma once

#include <exception>
#include <string>

namespace zef {

class Exception : public std::exception {
public:
  explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string Msg) { FMessage = std::move(Msg); }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// Declares a class E derived from B that takes its message like Exception does.
#define ZEF_DECLARE_EXCEPTION(E, B) \
  class E : public B {              \
  public:                           \
    using B::B;                     \
  }

// A text could not be converted to a value (or a value to a type), or an Assign
// between unrelated classes was attempted.
ZEF_DECLARE_EXCEPTION(EConvertError, Exception);
// A value or index lies outside its allowed range.
ZEF_DECLARE_EXCEPTION(ERangeError, Exception);
// A list operation was given a bad index or broke the list's rules.
ZEF_DECLARE_EXCEPTION(EListError, Exception);
// A stream operation failed.
ZEF_DECLARE_EXCEPTION(EStreamError, Exception);
ZEF_DECLARE_EXCEPTION(EReadError, EStreamError);
ZEF_DECLARE_EXCEPTION(EWriteError, EStreamError);
ZEF_DECLARE_EXCEPTION(EFOpenError, EStreamError);
ZEF_DECLARE_EXCEPTION(EFCreateError, EStreamError);
// An argument was invalid.
ZEF_DECLARE_EXCEPTION(EArgumentError, Exception);

// Input/output error. ErrorCode keeps the classic run-time error numbers (2 file not found,
// 3 path not found, 5 access denied, 100 read beyond end of file, 101 disk full,
// 102 file not assigned, 103 file not open, 104 not open for input, 105 not open for output,
// 106 invalid numeric format); OSError is the operating system's errno (0 when none).
class EInOutError : public Exception {
public:
  EInOutError(std::string Msg, int AErrorCode, int AOSError = 0)
      : Exception(std::move(Msg)), ErrorCode(AErrorCode), OSError(AOSError) {}
  int ErrorCode;
  int OSError;
};

// Builds the EInOutError for an errno value of a failed system call on FileName.
EInOutError InOutErrorFromErrno(int Errno, const std::string& FileName);

} // namespace zef
