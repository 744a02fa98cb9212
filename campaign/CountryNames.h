#pragma once
// The program's constant table of country names (CP932 texts): twelve names and two empty texts.

namespace vdmq {

constexpr int kCountryNameCount = 14;

// The name at a name index ("" for an empty entry); null outside the table.
const char* CountryNameText(int nameNum);

}  // namespace vdmq
