#pragma once

namespace tarvix {

// Tells whether a byte starts a double-byte character. Model strings are
// Big5 bytes (code page 950) whatever code page the system runs in, and a
// trail byte may look like an ASCII character ("\" or "|" in Big5).
using LeadByteTest = bool (*)(unsigned char);

// Code page 950 (Big5), the code page of the model's texts and files.
bool IsBig5LeadByte(unsigned char c);

// Whether a byte can follow a Big5 lead byte.
bool IsBig5TrailByte(unsigned char c);

}  // namespace tarvix
