#include "qolib/pack/Qofileman.h"

#include <cinttypes>
#include <cstdio>
#include <exception>

#include "platform/base/Sjis.h"

namespace vdmq {

TFileMan::TFileMan(TQoComponent* owner) : TQoComponent(owner) {}

TFileMan::~TFileMan() {
  if (OnError) {
    while (!list_.empty()) {
      const TFilePointer p = list_.back();
      char line[64];
      std::snprintf(line, sizeof line, "%08" PRIxPTR ":Call(%08" PRIxPTR ")", reinterpret_cast<uintptr_t>(p.Stream),
                    reinterpret_cast<uintptr_t>(p.Caller));
      try {
        OnError(this, line);
      } catch (const std::exception& e) {
        QoPlatform().ShowException(e.what());
      } catch (...) {
        QoPlatform().ShowException("");
      }
      list_.pop_back();
    }
  }
  // The streams themselves belong to their callers and are not freed here.
  if (ownsPack_)
    delete pack_;
  else if (pack_ != nullptr)
    pack_->RemoveFreeNotification(this);
  pack_ = nullptr;
}

void TFileMan::Notification(TQoComponent* component, TQoOperation operation) {
  if (operation == TQoOperation::opRemove && component != nullptr && component == pack_) {
    pack_ = nullptr;
    ownsPack_ = false;
    ready_ = false;
  }
  TQoComponent::Notification(component, operation);
}

bool TFileMan::InitPack(const std::string& fileName) {
  if (ready_) Finish();
  auto* pack = new TQoPack(this);  // read-only, no CRC checks
  if (!pack->OpenPack(fileName) || !pack->IsOpen()) {
    delete pack;
    return false;
  }
  pack_ = pack;
  ownsPack_ = true;
  ready_ = true;
  return true;
}

bool TFileMan::InitPack(TQoPack* pack) {
  if (ready_ && pack != nullptr && pack == pack_) return true;  // already the source
  if (ready_) Finish();
  if (pack == nullptr) return false;
  pack_ = pack;
  ownsPack_ = false;
  pack->FreeNotification(this);
  ready_ = true;
  return true;
}

bool TFileMan::InitDir(const std::string& folder) {
  if (ready_) Finish();
  directory_ = folder;
  if (!directory_.empty()) {
    // The last whole letter decides: a double-byte letter whose second byte is 0x5C is no "\".
    size_t last = 0;
    for (size_t i = 0; i < directory_.size(); i += SjisLetterLen(directory_, i)) last = i;
    if (SjisLetterLen(directory_, last) != 1 || directory_[last] != '\\') directory_ += '\\';
  }
  ready_ = true;
  return true;
}

void TFileMan::Finish() {
  if (ownsPack_) {
    TQoPack* p = pack_;
    pack_ = nullptr;
    ownsPack_ = false;
    delete p;
  } else if (pack_ != nullptr) {
    pack_->RemoveFreeNotification(this);
  }
  pack_ = nullptr;
  directory_.clear();
  ready_ = false;
}

std::string TFileMan::GetDir() const {
  if (directory_.empty()) return "";
  return directory_.substr(0, directory_.size() - 1);
}

__attribute__((noinline)) TQoStream* TFileMan::Open(const std::string& name) {
  return OpenFrom(name, __builtin_return_address(0));
}

TQoStream* TFileMan::OpenFrom(const std::string& name, const void* caller) {
  if (!ready_) return nullptr;
  TQoStream* stream = nullptr;
  if (pack_ != nullptr) {
    stream = pack_->QoMakeStream(name.c_str()).release();
  } else {
    stream = TQoFileStream::Open(directory_ + name, TQoFileMode::ReadDenyWrite).release();
  }
  if (stream == nullptr) return nullptr;
  AddPointerList(TFilePointer{stream, caller});
  return stream;
}

void TFileMan::Close(TQoStream*& stream) {
  if (stream == nullptr) return;
  DelPointerList(TFilePointer{stream, nullptr});
  delete stream;
  stream = nullptr;
}

bool TFileMan::AddPointerList(const TFilePointer& p) {
  list_.push_back(p);
  return true;
}

bool TFileMan::DelPointerList(const TFilePointer& p) {
  for (auto it = list_.begin(); it != list_.end(); ++it) {
    if (it->Stream == p.Stream) {
      list_.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace vdmq
