#pragma once
// printf into a string of the length the text needs. CP932 bytes, in the pattern and in "%s"
// arguments, pass as they are.

#include <string>

namespace vdmq {

// The formatted text; empty when the pattern cannot be formatted.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vdmq
