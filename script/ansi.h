#pragma once

namespace tarvix {

// Tells whether a byte starts a double-byte character in the ANSI code page of
// the user interface. File names and texts are bytes in that code page, and a
// trail byte may look like an ASCII character ("\" or "|" in Big5).
using LeadByteTest = bool (*)(unsigned char);

// Code page 950 (Big5), the code page of the users' systems.
bool IsBig5LeadByte(unsigned char c);

// Single-byte code pages.
bool IsNeverLeadByte(unsigned char c);

}  // namespace tarvix
