#pragma once
// The one exception type of the project. Its message is the game's own code page 932 text
// ("例外 function:ChkInPlanetNum", "CD CHANGE CANSEL" ...), so callers and tests compare it exactly.

#include <stdexcept>
#include <string>

namespace vdmq {

class EGameError : public std::runtime_error {
 public:
  explicit EGameError(const std::string& sjisText) : std::runtime_error(sjisText) {}
  const std::string text() const { return what(); }
};

// Throws EGameError with a CP932 text.
[[noreturn]] void ThrowGameError(const std::string& sjisText);
// Throws "例外 function:" followed by the name of the failed check.
[[noreturn]] void ThrowFunctionError(const char* checkName);

}  // namespace vdmq
