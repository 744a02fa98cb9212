#pragma once
// TFileMan hands out read streams on data files by name, from an archive or from a folder fixed
// at set-up, and remembers where each stream was asked for, so that a stream never given back can
// be reported when the component is destroyed.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qolib/pack/Qopack.h"
#include "qolib/pack/Quorvel.h"

namespace vdmq {

// A stream handed out and the code address of the call that asked for it.
struct TFilePointer {
  TQoStream* Stream = nullptr;
  const void* Caller = nullptr;
};

class TFileMan : public TQoComponent {
 public:
  using TErrorEvent = std::function<void(TFileMan* sender, const std::string& mes)>;

  explicit TFileMan(TQoComponent* owner = nullptr);
  ~TFileMan() override;
  void Notification(TQoComponent* component, TQoOperation operation) override;

  // Receives one line per stream not given back, at destruction.
  TErrorEvent OnError;

  // Creates and owns a TQoPack on that archive file.
  bool InitPack(const std::string& fileName);
  // Uses an archive that the caller owns.
  bool InitPack(TQoPack* pack);
  void SetPack(TQoPack* pack) { InitPack(pack); }
  TQoPack* GetPack() const { return pack_; }
  // Uses a folder (a "\" is appended when missing).
  bool InitDir(const std::string& folder);
  void SetDir(const std::string& folder) { InitDir(folder); }
  // The folder without its final "\".
  std::string GetDir() const;
  void Finish();

  // A new read stream on the data file name, or null. Give it back through Close.
  TQoStream* Open(const std::string& name);
  // Unrecords and frees the stream and sets the caller's pointer to null.
  void Close(TQoStream*& stream);
  bool ChkIsPack() const { return pack_ != nullptr; }
  bool IsReady() const { return ready_; }

  bool AddPointerList(const TFilePointer& p);
  bool DelPointerList(const TFilePointer& p);
  const std::vector<TFilePointer>& PointerList() const { return list_; }

 private:
  TQoStream* OpenFrom(const std::string& name, const void* caller);

  bool ready_ = false;
  bool ownsPack_ = false;
  TQoPack* pack_ = nullptr;
  std::string directory_;
  std::vector<TFilePointer> list_;
};

}  // namespace vdmq
