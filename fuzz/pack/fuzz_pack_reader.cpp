// Feeds arbitrary bytes to the archive reader as an archive file: load under a check mode chosen by
// the first byte, then list every record, open each entry with and without decoding, read, seek
// and check sizes. Nothing may crash, overrun or hand out a stream of the wrong size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "qolib/pack/Qopack.h"

using namespace vdmq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  TQoMemoryStream archive;
  archive.Write(data + 1, static_cast<int64_t>(size - 1));
  TQoPack pack;
  pack.SetCrcMode(static_cast<TCrcMode>(mode % 3));
  if (!pack.LoadPackStream(&archive)) return 0;
  std::vector<uint8_t> buf(4096);
  for (int i = 0; i < pack.GetFileNum(); ++i) {
    char name[26];
    if (!pack.GetFileName(i, name)) std::abort();
    pack.GetFileSize(i);
    pack.GetFileComp(i);
    pack.VerifyFileCrc(i);
    if (auto s = pack.QoMakeStream(name)) {
      // Names may repeat: the stream is the first record of that name.
      const int first = pack.CheckFileName(name);
      if (first < 0 || s->GetSize() != pack.Record(first)->Size) std::abort();
    }
    QoFILE* h = pack.QofopenComp(name, (mode & 4) != 0);
    if (h == nullptr) continue;
    const int end = pack.Qofsize(h);
    pack.Qofseek(h, end / 2, 0);
    pack.Qofread(buf.data(), 7, 100, h);
    pack.Qofseek(h, -3, 2);
    pack.Qofread(buf.data(), 1, static_cast<unsigned>(buf.size()), h);
    int pos = 0;
    pack.Qofgetpos(h, &pos);
    if (pos < 0) std::abort();
    pack.Qofclose(h);
  }
  return 0;
}
