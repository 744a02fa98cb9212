#pragma once
// Safe output of the generators: every file is written under a temporary name in its own folder
// and renamed over the old file only when it is complete, so a failed or interrupted run leaves the
// previous file as it was.

#include <cstddef>
#include <functional>
#include <string>

namespace vdmq::raster {

// Calls write with a fresh temporary path beside path; when it returns true, the temporary file
// replaces path. Otherwise, or when the temporary file cannot be made or renamed, the temporary
// file is removed, path is untouched, and false is returned with the path and the reason in
// *error (when given).
bool ReplaceFile(const std::string& path, const std::function<bool(const std::string& tempPath)>& write,
                 std::string* error = nullptr);
// The same for a block of bytes.
bool ReplaceFileBytes(const std::string& path, const void* data, std::size_t size, std::string* error = nullptr);

}  // namespace vdmq::raster
