#pragma once
// The platform message box: a layer form (dialog border, "\n" lines, optional stop icon, OK or
// OK and Cancel or Yes and No) shown modally, so timers keep running while it is up.

#include <string_view>

#include "platform/core/Form.h"
#include "platform/core/StdCtrls.h"

namespace vdmq {

class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, std::string_view text, std::string_view caption, unsigned flags);
  const char* ClassName() const override { return "TMessageForm"; }
  // The answer (IDOK ...) for a modal result.
  int Answer(int modalResult) const;
  TButton* Button(int index) const { return index >= 0 && index < buttonCount_ ? buttons_[index] : nullptr; }
  int ButtonCount() const { return buttonCount_; }
  bool HasStopIcon() const { return icon_ == MB_ICONSTOP; }

 protected:
  void Paint(TCanvas& c) override;

 private:
  unsigned flags_;
  unsigned icon_;
  TButton* buttons_[2] = {nullptr, nullptr};
  int buttonCount_ = 0;
};

// Shows the box and answers IDOK / IDCANCEL / IDYES / IDNO.
int ShowMessageDialog(std::string_view text, std::string_view caption, unsigned flags);

}  // namespace vdmq
