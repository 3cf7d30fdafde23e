#include "PlatformServices.h"
namespace korv::midi {
PlatformService makeAlsaService() {
    return {};
}
} // namespace korv::midi
