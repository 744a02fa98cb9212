#pragma once
// Readers of uncompressed BMP pictures (8 bits with a palette, or 24 bits) and of 768-byte colour
// tables, from files, from named in-memory resources, from memory buffers and from archive entries.
//
// Every out-pointer may be null, and that part is skipped. A pixel or palette out-pointer that
// points to null receives a new zero-filled block from QoAllocBlock; one that points to a block
// already gets that block filled, which must come from QoAllocBlock (it carries its size): a
// picture larger than the block is refused. Refused pictures touch no out-pointer.
//
// Accepted pictures: width 1..16384, height -16384..-1 (stored top row first) or 1..16384 (stored
// bottom row first), an output block of at most 256 MiB. The file header's data offset, the header
// size and the compression field are not used: the pixels follow the 40-byte header and the palette.
// A picture cut short keeps the rows it has; the missing part of the block is black.

#include <cstddef>
#include <cstdint>
#include <string>

#include "qolib/graphics/Qobitmap.h"

namespace vdmq {

class TQoPack;

// ---- Blocks handed out by the loaders -------------------------------------------------------
// Zero-filled block of the given size; null when memory runs out or the size is 0.
void* QoAllocBlock(std::size_t bytes);
// Frees a block of QoAllocBlock (null is ignored).
void QoFreeBlock(void* block);
// Size in bytes of a block of QoAllocBlock (0 for null).
std::size_t QoBlockSize(const void* block);

// ---- Named in-memory resources ---------------------------------------------------------------
// The program registers its embedded pictures here; a bitmap resource is a BMP without its
// 14-byte file header (the 40-byte header comes first). The data must outlive the registration.
using HQoModule = std::uintptr_t;  // 0 is the program's own module
void QoAddResource(HQoModule module, const std::string& name, const void* data, std::size_t size);
bool QoFindResource(HQoModule module, const std::string& name, const unsigned char** data, std::size_t* size);
void QoClearResources();

// Largest side and largest output block a picture may have.
inline constexpr int kQoBmpMaxSide = 16384;
inline constexpr std::uint64_t kQoBmpMaxBlock = 256ull * 1024 * 1024;

// ---- 24-bit readers: TQoRGB pixels from 8- or 24-bit pictures ---------------------------------
bool LoadBmp24Mem(const void* data, std::size_t size, TQoRGB** pixels, int* width, int* height);
bool LoadBmp24File(const std::string& fileName, TQoRGB** pixels, int* width, int* height);
bool LoadBmp24Resource(HQoModule module, const char* resName, TQoRGB** pixels, int* width, int* height);
bool LoadBmp24Pack(TQoPack* pack, const std::string& name, TQoRGB** pixels, int* width, int* height);

// ---- 8-bit readers: palette (256 entries, 1024 bytes) and index pixels from 8-bit pictures ----
bool LoadBmpMem(const void* data, std::size_t size, RGBQUAD** palette, unsigned char** pixels, int* width, int* height);
bool LoadBmpFile(const std::string& fileName, RGBQUAD** palette, unsigned char** pixels, int* width, int* height);
bool LoadBmpResource(HQoModule module, const char* resName, RGBQUAD** palette, unsigned char** pixels, int* width,
                     int* height);
bool LoadBmpPack(TQoPack* pack, const std::string& name, RGBQUAD** palette, unsigned char** pixels, int* width,
                 int* height);

// ---- Colour tables: 256 triplets red, green, blue -> 256 RGBQUAD -------------------------------
bool LoadActMem(const void* data, std::size_t size, RGBQUAD** palette);
bool LoadActFile(const std::string& fileName, RGBQUAD** palette);
bool LoadActPack(TQoPack* pack, const std::string& name, RGBQUAD** palette);

}  // namespace vdmq
