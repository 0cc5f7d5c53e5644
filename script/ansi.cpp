#include "ansi.h"

namespace tarvix {

bool IsBig5LeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

bool IsNeverLeadByte(unsigned char) { return false; }

}  // namespace tarvix
