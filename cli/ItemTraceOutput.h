#pragma once

#include "server/ItemTrace.h"

#include <QByteArray>

namespace cli {

// An item's trace for a person: one line per place, each after the first reached by one move.
QByteArray traceText(const Srv_Mvt04215::ItemTrace& trace);

// The same as compact JSON: {"CDFILIAL":..,"queried":i,"cycle":b,"places":[{"NRCOMANDA":..,
// "NRPRODCOMVEN":..,"NRVENDAREST":..,"NRMESA":..,"NRLUGARMESA":..,"QTPRODCOMVEN":..},..]}; what is no
// longer known is null.
QByteArray traceJson(const Srv_Mvt04215::ItemTrace& trace);

} // namespace cli
