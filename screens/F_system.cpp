#include "screens/F_system.h"

#include <array>

#include "platform/base/GameError.h"
#include "platform/sys/Registry.h"

namespace vdmq {

namespace {

constexpr const char* kOptionKey = "SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system";
constexpr std::array<const char*, 3> kOptionNames{"BGM", "PCM", "TURN_MES"};
std::array<int, 3> options{1, 1, 1};

bool InRange(int index) { return index >= 0 && index < static_cast<int>(options.size()); }

}  // namespace

int GetSysOption(int index) { return InRange(index) ? options[static_cast<size_t>(index)] : 0; }

void SetSysOption(int index, int value) {
  if (InRange(index)) options[static_cast<size_t>(index)] = value;
}

void SysOptionReg(int mode) {
  TRegistry reg;
  if (!reg.OpenKey(kOptionKey, true)) return;
  for (size_t i = 0; i < options.size(); ++i) {
    if (mode == 1) {
      try {
        options[i] = reg.ReadInteger(kOptionNames[i]);
      } catch (const EGameError&) {
        // Missing or not an integer: the option keeps its value.
      }
    } else if (mode == 0) {
      try {
        reg.WriteInteger(kOptionNames[i], options[i]);
      } catch (const EGameError&) {
        // A store that refuses the value keeps the old one; the run goes on with the table.
      }
    }
  }
  reg.CloseKey();
}

}  // namespace vdmq
