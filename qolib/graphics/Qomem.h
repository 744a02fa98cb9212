#pragma once
// Row primitives under every blit: copy one row of n pixels plain, mirrored, keyed (pixels equal to
// the key are skipped), through a 1-bit mask, or mirrored with key or mask; fill a row with a value.
// Each exists for pixels of 1, 2, 3 and 4 bytes, read as little-endian values (a 3-byte pixel is
// blue | green << 8 | red << 16). All return dst, never allocate, and expect no overlap.
//
// Mask bit k is bit 7 - (k mod 8) of mask byte k / 8; the mask is maskBits bits long and repeats.
// In the mirrored masked forms the bit follows the source pixel. A maskBits of 0 copies nothing.

namespace vdmq {

void* QoMemcpy(void* dst, const void* src, unsigned n);  // n bytes

void* QoMemcpyR(void* dst, const void* src, unsigned n);
void* QoMemcpy2R(void* dst, const void* src, unsigned n);
void* QoMemcpy3R(void* dst, const void* src, unsigned n);
void* QoMemcpy4R(void* dst, const void* src, unsigned n);

void* QoMemcpyK(void* dst, const void* src, unsigned n, unsigned long key);
void* QoMemcpy2K(void* dst, const void* src, unsigned n, unsigned long key);
void* QoMemcpy3K(void* dst, const void* src, unsigned n, unsigned long key);
void* QoMemcpy4K(void* dst, const void* src, unsigned n, unsigned long key);

void* QoMemcpyRK(void* dst, const void* src, unsigned n, unsigned long key);
void* QoMemcpy2RK(void* dst, const void* src, unsigned n, unsigned long key);
void* QoMemcpy3RK(void* dst, const void* src, unsigned n, unsigned long key);
void* QoMemcpy4RK(void* dst, const void* src, unsigned n, unsigned long key);

void* QoMemcpyM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);
void* QoMemcpy2M(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);
void* QoMemcpy3M(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);
void* QoMemcpy4M(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);

void* QoMemcpyRM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);
void* QoMemcpy2RM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);
void* QoMemcpy3RM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);
void* QoMemcpy4RM(void* dst, const void* src, unsigned n, const void* mask, unsigned maskBits);

void* QoMemset(void* dst, unsigned long value, unsigned n);
void* QoMemset2(void* dst, unsigned long value, unsigned n);
void* QoMemset3(void* dst, unsigned long value, unsigned n);
void* QoMemset4(void* dst, unsigned long value, unsigned n);

}  // namespace vdmq
