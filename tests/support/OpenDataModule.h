#pragma once

#include "server/TrdmTrPosicao.h"

#include <memory>

namespace testsupport {

// A data module connected to the database, as each opening of the screen makes one (tests and benchmarks;
// the target that includes this links the server).
inline std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> openDataModule(const QString& connectionString) {
    auto module = std::make_unique<Srv_Mvt04215::TrdmTrPosicao>();
    module->connectionStringOverride = connectionString;
    module->adcTrPosicao.open();
    return module;
}

} // namespace testsupport
