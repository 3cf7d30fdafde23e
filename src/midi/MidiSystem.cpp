#include "MidiSystem.h"

#include "PlatformServices.h"

#include <algorithm>

namespace korv::midi {

MidiSystem::MidiSystem(std::vector<MidiService*> services)
    : services_(std::move(services)) {}

MidiSystem::~MidiSystem() {
    // The virtual service refers to the others: drop it first.
    services_.clear();
    while (!owned_.empty())
        owned_.erase(owned_.begin());
}

std::unique_ptr<MidiSystem> MidiSystem::createDefault() {
    std::vector<std::unique_ptr<MidiService>> owned;
    std::vector<VirtualPortProvider*> providers;
    if (auto alsa = makeAlsaService()) {
        providers.push_back(alsa.provider);
        owned.push_back(std::move(alsa.service));
    }
    if (auto jack = makeJackService()) {
        providers.push_back(jack.provider);
        owned.push_back(std::move(jack.service));
    }
    std::vector<MidiService*> services;
    std::unique_ptr<MidiService> virt;
    if (!providers.empty()) {
        virt = makeVirtualService(std::move(providers));
        services.push_back(virt.get());
    }
    for (auto& s : owned)
        services.push_back(s.get());
    if (virt)
        owned.insert(owned.begin(), std::move(virt));
    auto system = std::make_unique<MidiSystem>(std::move(services));
    system->owned_ = std::move(owned);
    return system;
}

namespace {
std::vector<MidiSystem::Device> collect(const std::vector<MidiService*>& services, bool inputs) {
    std::vector<MidiSystem::Device> devices;
    for (MidiService* s : services) {
        const auto names = inputs ? s->inputNames() : s->outputNames();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (devices.size() >= static_cast<std::size_t>(MidiSystem::MaxDevices))
                return devices;
            devices.push_back({s, names[i]});
        }
    }
    return devices;
}
} // namespace

std::vector<MidiSystem::Device> MidiSystem::inputs() const {
    return collect(services_, true);
}
std::vector<MidiSystem::Device> MidiSystem::outputs() const {
    return collect(services_, false);
}

std::string MidiSystem::goneService() const {
    for (MidiService* s : services_)
        if (!s->alive())
            return s->serviceName();
    return {};
}

} // namespace korv::midi
