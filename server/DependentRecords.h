#pragma once

#include "TrdmTrPosicao.h"

namespace Srv_Mvt04215 {

// The records that hang off a moved item, copied or recorded for the request's current record
// (cdsTransferencia) once its new item row exists. Statement errors propagate to the transfer.
class DependentRecords {
public:
    DependentRecords(TrdmTrPosicao& dm, const QString& newItem) : dm_(dm), newItem_(newItem) {}

    // The origin item's observations, copied to the new item.
    void copyObservations();
    // The origin item's components, each with only its own observations.
    void copyComponents();
    // Writes, or rewrites, the tracking row of the origin item's key.
    void recordMove(const QString& originSale);

private:
    QString request(const char* field) const;

    TrdmTrPosicao& dm_;
    QString newItem_;
};

} // namespace Srv_Mvt04215
