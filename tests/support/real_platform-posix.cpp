// The POSIX build of the tables runs against the stand-in.
#include "support/known_difference.h"

namespace testing_support {

const bool kOnTheRealPlatform = false;

}  // namespace testing_support
