// Typed errors of the core. Every message is complete Spanish text in UTF-8 that names
// the file, element or row; the window and the command line show it as it is.
#pragma once
#include <stdexcept>
#include <string>

namespace tov {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The centre document cannot be used (not well-formed, wrong root, external entities...).
class ErrorXml : public Error {
 public:
  using Error::Error;
};

// A dBase table cannot be read or written (missing, corrupt, no such field...).
class ErrorTabla : public Error {
 public:
  using Error::Error;
};

// A table or the work folder is held by another program or conversion.
class ErrorEnUso : public Error {
 public:
  using Error::Error;
};

// A file or folder cannot be written, moved or removed.
class ErrorArchivo : public Error {
 public:
  using Error::Error;
};

// Bad values in an otherwise readable document (Horas, times...).
class ErrorDatos : public Error {
 public:
  using Error::Error;
};

}  // namespace tov
