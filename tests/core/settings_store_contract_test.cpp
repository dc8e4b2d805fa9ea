// The in-memory store of the simulated desktop keeps the same contract as the real stores.

#include "contract/settings_store_contract.h"
#include "fakes/fake_ports.h"

namespace tollvane::contract {

INSTANTIATE_TEST_SUITE_P(Fake, SettingsStoreContract,
                         ::testing::Values(SettingsStoreFactory{
                             "Memory",
                             [] { return std::make_unique<fakes::MemorySettingsStore>(); }}),
                         SettingsStoreContract::name);

}  // namespace tollvane::contract
