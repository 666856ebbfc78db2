#include "models/driver_factory.h"

#include "models/kadrel_an.h"
#include "models/kadrel_eg.h"
#include "models/kadrel_fx.h"
#include "models/kadrel_tl.h"

IKadrelPtr CreateModelDriver(int devType)
{
    // Drivers hand out references to themselves, so they must be owned by a shared_ptr.
    switch (devType) {
    case devAN:
        return std::make_shared<TKadrelAN>();
    case devTL:
        return std::make_shared<TKadrelTL>();
    case devFX:
        return std::make_shared<TKadrelFX>();
    case devEG:
        return std::make_shared<TKadrelEG>();
    default:
        return nullptr;
    }
}
