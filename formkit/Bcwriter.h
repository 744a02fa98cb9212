#pragma once
// The writer: a small component carrying a reader that points at one of the skin module's
// containers, passing the reader's changes on to its owner.
//
// A writer is bound by name, in place of the references between forms that a form resource
// resolves: ReadFrom("CHF_BcTitlebar", 0) points its reader at that container of the skin module
// at once when the module exists, or when the module is created.

#include <string>

#include "formkit/Chdrwtl.h"

namespace vdmq {

class TCHF_Data;

class TBcWriter : public TComponent {
 public:
  explicit TBcWriter(TComponent* owner);
  ~TBcWriter() override;
  const char* ClassName() const override { return "TBcWriter"; }

  TCHBcReader& BcReader() { return reader_; }
  // Runs whenever the reader changes (sender = the writer).
  TNotifyEvent OnChange;

  // Reads cell `index` of the skin module's container of that name (one of TCHF_Data's three;
  // another name throws EGameError). Binds at once when the module exists, else when it is made.
  void ReadFrom(const std::string& containerName, int index);
  // The name given to ReadFrom, or "".
  const std::string& ContainerName() const { return containerName_; }

  // Binds every writer still waiting for the module (the module's constructor runs it).
  static void BindWaitingWriters(TCHF_Data& module);

 protected:
  void BcrChanged() { Change(); }
  virtual void Change();

 private:
  void BindTo(TCHF_Data& module);
  TCHBcReader reader_;
  std::string containerName_;
};

}  // namespace vdmq
