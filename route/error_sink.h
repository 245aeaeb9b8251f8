// Where the route text's conversion and section errors are reported.
#pragma once

#include <string>

// Where conversion and section errors go (the route reader).
class ErrorSink {
 public:
  virtual void ReportError(const std::string& message) = 0;

 protected:
  ~ErrorSink() = default;
};
