#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small text helpers of the helper: no locale, no exceptions.
namespace Text {

// Prints "vellumar-ramdev: <message>" on standard error and returns `status`.
int fail(int status, const std::string &message);
// "<what>: <strerror(error)>".
std::string systemError(const std::string &what, int error);
// A small file read whole (at most 64 KiB), trailing blanks and line ends removed.
std::string readSmallFile(const std::string &path);
// A whole non-negative decimal number of at most 19 digits.
bool parseUnsigned(const std::string &text, uint64_t &value);
// Bytes outside [A-Za-z0-9/._+@:,-] as %XX, so a value is one word on one line.
std::string escape(const std::string &value);
std::string unescape(const std::string &value);
// The lines of `text`.
std::vector<std::string> lines(const std::string &text);

} // namespace Text
