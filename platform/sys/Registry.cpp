#include "platform/sys/Registry.h"

#include "platform/base/GameError.h"
#include "platform/sys/Services.h"

namespace vdmq {
namespace {

[[noreturn]] void Fail(const char* what, std::string_view name) {
  ThrowGameError(std::string(what) + " '" + std::string(name) + "'");
}

}  // namespace

TRegistry::TRegistry() : store_(*Sys().registry) {}
TRegistry::TRegistry(TRegistryStore& store) : store_(store) {}

std::string TRegistry::Resolve(std::string_view key) const {
  std::string path;
  if (key.empty() || key[0] != '\\') path = current_;
  for (const std::string& part : TTreeRegistryStore::SplitPath(key)) {
    if (!path.empty()) path += '\\';
    path += part;
  }
  return path;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
  const std::string path = Resolve(key);
  const bool ok = canCreate ? store_.CreateKey(path) : store_.KeyExists(path);
  if (ok) {
    current_ = path;
    open_ = true;
  }
  return ok;
}

void TRegistry::CloseKey() {
  current_.clear();
  open_ = false;
}

bool TRegistry::KeyExists(std::string_view key) { return store_.KeyExists(Resolve(key)); }

bool TRegistry::DeleteKey(std::string_view key) {
  const std::string path = Resolve(key);
  return !TTreeRegistryStore::SplitPath(path).empty() && store_.DeleteKey(path);
}

bool TRegistry::ValueExists(std::string_view name) { return open_ && store_.ReadValue(current_, name).has_value(); }

ERegDataType TRegistry::GetDataType(std::string_view name) {
  if (!open_) return rdUnknown;
  const auto v = store_.ReadValue(current_, name);
  return v ? v->type : rdUnknown;
}

std::int32_t TRegistry::ReadInteger(std::string_view name) {
  const auto v = open_ ? store_.ReadValue(current_, name) : std::nullopt;
  if (!v) Fail("Failed to get data for", name);
  if (v->type != rdInteger) Fail("Invalid data type for", name);
  return v->integer;
}

std::string TRegistry::ReadString(std::string_view name) {
  const auto v = open_ ? store_.ReadValue(current_, name) : std::nullopt;
  if (!v) return {};
  if (v->type != rdString) Fail("Invalid data type for", name);
  return v->text;
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value) {
  if (!open_ || !store_.WriteValue(current_, name, TRegValue::Integer(value))) Fail("Failed to set data for", name);
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  if (!open_ || !store_.WriteValue(current_, name, TRegValue::String(std::string(value)))) {
    Fail("Failed to set data for", name);
  }
}

bool TRegistry::DeleteValue(std::string_view name) { return open_ && store_.DeleteValue(current_, name); }

}  // namespace vdmq
