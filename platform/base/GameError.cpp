#include "platform/base/GameError.h"

#include "platform/base/Sjis.h"

namespace vdmq {

void ThrowGameError(const std::string& sjisText) { throw EGameError(sjisText); }

void ThrowFunctionError(const char* checkName) { throw EGameError(SJS("例外 function:") + checkName); }

}  // namespace vdmq
