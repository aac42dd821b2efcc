#pragma once

#include "client/DatasetGrid.h"
#include "client/TfrmTrPosicao.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace testsupport {

// The screen's controls, found by the names the operator's tools see them by.
template <typename W> W* control(Cli_Mvt04215::TfrmTrPosicao& screen, const char* name) {
    W* found = screen.findChild<W*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "the screen has no " << name;
    return found;
}
inline Cli_Mvt04215::DatasetGrid* originGrid(Cli_Mvt04215::TfrmTrPosicao& screen) {
    return control<Cli_Mvt04215::DatasetGrid>(screen, "dbgMesaOri");
}
inline Cli_Mvt04215::DatasetGrid* destinationGrid(Cli_Mvt04215::TfrmTrPosicao& screen) {
    return control<Cli_Mvt04215::DatasetGrid>(screen, "dbgMesaDes");
}
inline QAbstractButton* button(Cli_Mvt04215::TfrmTrPosicao& screen, const char* name) {
    return control<QAbstractButton>(screen, name);
}

} // namespace testsupport
