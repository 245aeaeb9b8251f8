// How the programs end with a message: one shape on standard error,
// "<program>: <message>", and the same end when memory runs out.
#pragma once

#include <new>
#include <string>

namespace command_line {

// Writes "<program>: <message>" and a line end to standard error, the
// message made safe for a terminal (it quotes file names); returns status.
int Fail(const std::string& program, int status, const std::string& message);

// Says that memory ran out without allocating, after what standard output
// already holds.
void SayOutOfMemory(const char* program, const char* message);

// The body's status; running out of memory in it ends with the message
// and the status given.
template <typename Body>
int RunWithinMemory(const char* program, const char* message, int status, Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SayOutOfMemory(program, message);
    return status;
  }
}

}  // namespace command_line
