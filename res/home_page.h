// The maker's home page, which the logo links and the about box open. The
// about box's templates show it too, so it lives here for both.
#pragma once

#define TARVIX_HOME_PAGE "https://www.tarvix.org/"
