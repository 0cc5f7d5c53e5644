#pragma once

namespace tarvix {

// The two editions are built from one source. The Windows programs fix theirs
// at compile time; the portable code takes it as a value so one test binary
// covers both.
enum class Edition {
    V10,  // tarvix-classic.exe: no MoveR, no RunOnce, classic file layout
    V11,  // tarvix.exe
};

}  // namespace tarvix
