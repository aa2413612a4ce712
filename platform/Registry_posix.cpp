#include "platform/Registry.h"

namespace platform {

namespace {

// There is no system registry outside Windows: every key is missing.
class NoRegistry : public RegistryReader {
public:
    std::unique_ptr<RegistryKeyReader> OpenKey(RegistryHive, const std::string&) override { return nullptr; }
};

}  // namespace

RegistryReader& SystemRegistry() {
    static NoRegistry registry;
    return registry;
}

}  // namespace platform
