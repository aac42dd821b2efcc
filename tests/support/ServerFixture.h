#pragma once

#include "DatabaseFixture.h"
#include "OpenDataModule.h"
#include "Scenarios.h"

#include "server/Srv_Mvt04215.h"

namespace testsupport {

// A server case on a fresh database of the kind `Db` says: a data module open on it is the one the
// server methods use, until the case ends.
template <typename Db> class ServerFixture : public DatabaseFixture<Db> {
protected:
    void prepare() override {
        module = openDataModule(this->database->connectionString());
        Srv_Mvt04215::rdmTrPosicao = module.get();
    }
    void TearDown() override { Srv_Mvt04215::rdmTrPosicao = nullptr; }

    std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> module;
};

// A server case whose restaurant starts with the house's products (scenarios::menu).
template <typename Db> class MenuFixture : public ServerFixture<Db> {
protected:
    void prepare() override {
        ServerFixture<Db>::prepare();
        scenarios::menu(*this->builder);
    }
};

} // namespace testsupport
