#include "formkit/Bcwriter.h"

#include <algorithm>
#include <vector>

#include "formkit/CHFDATAU.h"
#include "platform/base/GameError.h"

namespace vdmq {

namespace {
// Writers that were given a container before the skin module existed, in the order they were.
std::vector<TBcWriter*>& Waiting() {
  static std::vector<TBcWriter*> writers;
  return writers;
}
void StopWaiting(TBcWriter* w) {
  auto& v = Waiting();
  v.erase(std::remove(v.begin(), v.end(), w), v.end());
}
}  // namespace

TBcWriter::TBcWriter(TComponent* owner) : TComponent(owner) {
  reader_.OnChange = [this](TCHCustomBcReader*) { BcrChanged(); };
}

TBcWriter::~TBcWriter() {
  StopWaiting(this);
  reader_.OnChange = nullptr;
}

void TBcWriter::Change() {
  if (OnChange) OnChange(this);
}

void TBcWriter::ReadFrom(const std::string& containerName, int index) {
  if (!TCHF_Data::IsContainerName(containerName)) ThrowGameError("TBcWriter: no skin container named " + containerName);
  containerName_ = containerName;
  reader_.SetSrcIndex(index);
  StopWaiting(this);
  if (CHF_Data)
    BindTo(*CHF_Data);
  else
    Waiting().push_back(this);
}

void TBcWriter::BindTo(TCHF_Data& module) { reader_.SetBmpContainer(module.Container(containerName_)); }

void TBcWriter::BindWaitingWriters(TCHF_Data& module) {
  std::vector<TBcWriter*> writers;
  writers.swap(Waiting());
  for (TBcWriter* w : writers) w->BindTo(module);
}

}  // namespace vdmq
