// Makes the model driver of a device type; the shell uses it for instruments and files alike.
#pragma once

#include "link/kadrel_driver.h"

// The driver of model AN, TL, FX or EG for device types 1, 2, 3 and 5; nullptr for QM, which
// has no driver, and for any other value.
IKadrelPtr CreateModelDriver(int devType);
