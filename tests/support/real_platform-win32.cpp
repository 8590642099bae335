// The Windows build of the tables runs against the real platform.
#include "support/known_difference.h"

namespace testing_support {

const bool kOnTheRealPlatform = true;

}  // namespace testing_support
