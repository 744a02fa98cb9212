#pragma once
// The skin data module: the three containers of every kit window's skin, held once for the whole
// program. The frame picture (one cell), the title bar (cell 0 active, cell 1 inactive) and the
// caption buttons (rows: close, minimise, restore, maximise, help; faces up, disabled, pressed).

#include <string>

#include "formkit/Chbmpcnt.h"

namespace vdmq {

class TCHF_Data : public TDataModule {
 public:
  // Makes the three containers from the embedded skins and binds the writers waiting for them.
  explicit TCHF_Data(TComponent* owner);
  ~TCHF_Data() override;
  const char* ClassName() const override { return "TCHF_Data"; }

  TCHBmpContainer* CHF_BcFrame = nullptr;
  TCHBmpContainer* CHF_BcTitlebar = nullptr;
  TCHBmpContainer* CHF_BcButton = nullptr;

  // The container of that name, or nullptr.
  TCHBmpContainer* Container(const std::string& name) const;
  static bool IsContainerName(const std::string& name);
};

// The one skin module (created by the main window, owned and freed by the application).
extern TCHF_Data* CHF_Data;

}  // namespace vdmq
