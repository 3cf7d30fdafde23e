#include "PlatformServices.h"
namespace korv::midi {
PlatformService makeAlsaService() {
    return {};
}
PlatformService makeJackService() {
    return {};
}
} // namespace korv::midi
