#include "ansi.h"

namespace tarvix {

bool IsBig5LeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

bool IsBig5TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFE); }

}  // namespace tarvix
