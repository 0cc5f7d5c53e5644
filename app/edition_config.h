#pragma once

#include "edition.h"

// Each Windows program is one edition, fixed when it is built; the portable
// core takes the edition as a value.
#if defined(TARVIX_EDITION_CLASSIC)
inline constexpr tarvix::Edition kProgramEdition = tarvix::Edition::V10;
#else
inline constexpr tarvix::Edition kProgramEdition = tarvix::Edition::V11;
#endif

// What this program's edition has and does (script/edition.h).
inline constexpr const tarvix::EditionTraits& kProgramTraits = tarvix::TraitsOf(kProgramEdition);
