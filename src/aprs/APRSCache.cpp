// Placeholder until the cache lands.
#include "APRSCache.h"
