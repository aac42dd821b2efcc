#pragma once

#include "TransferReading.h"
#include "TransferRecords.h"

namespace Srv_Mvt04215 {

// Checks every record of a request against what was read under lock and refuses (TransferRefused) the
// first one that does not hold, naming it and what is wrong: a destination that is not an open tab of
// the named sale, a destination table that is not that sale's table or whose bill is requested; an
// origin item that is gone, no longer offered, holds another product or another quantity than the
// request says (a screen older than the database), or is not on the named origin table. A value the
// operator did not choose (a price, a text, an offered status) may have changed meanwhile: the item
// moves as it is now.
void checkRecords(const TransferRequestRecords& request, const LockedRead& read);

} // namespace Srv_Mvt04215
