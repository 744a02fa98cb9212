#pragma once
// The registry wrapper the game and the setup program use: open a key below the current user's root
// (with or without creating it), read and write typed values, delete values and whole keys. It works
// on the installed registry store (Sys().registry).
//
// Errors are reported as the class library's wrapper reports them, as a thrown EGameError:
//   ReadInteger of a missing value      -> "Failed to get data for 'NAME'"
//   ReadInteger of a string value       -> "Invalid data type for 'NAME'"
//   ReadString of an integer value      -> "Invalid data type for 'NAME'"
//   WriteInteger/WriteString that fails -> "Failed to set data for 'NAME'"
// ReadString of a missing value answers "" without an error.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sys/RegistryStore.h"

namespace vdmq {

class TRegistry {
 public:
  TRegistry();
  explicit TRegistry(TRegistryStore& store);

  // Opens a key: a path starting with "\" is taken from the root, any other from the open key (or the
  // root when none is open). With canCreate the key and its parents are created when missing.
  // On success the key becomes the current key; on failure the current key stays.
  bool OpenKey(std::string_view key, bool canCreate);
  void CloseKey();
  bool HasCurrentKey() const { return open_; }
  // Full path of the current key ("" when none is open).
  const std::string& CurrentPath() const { return current_; }

  bool KeyExists(std::string_view key);
  // Deletes the key with all its subkeys (path as for OpenKey).
  bool DeleteKey(std::string_view key);

  bool ValueExists(std::string_view name);
  ERegDataType GetDataType(std::string_view name);
  std::int32_t ReadInteger(std::string_view name);
  std::string ReadString(std::string_view name);
  void WriteInteger(std::string_view name, std::int32_t value);
  void WriteString(std::string_view name, std::string_view value);
  bool DeleteValue(std::string_view name);

 private:
  std::string Resolve(std::string_view key) const;
  TRegistryStore& store_;
  std::string current_;
  bool open_ = false;
};

}  // namespace vdmq
