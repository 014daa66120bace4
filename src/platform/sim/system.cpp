// Everything of the simulated machine's facts lives in the header; this file keeps the
// backends' file lists alike.
#include "platform/sim/system.h"
