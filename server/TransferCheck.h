#pragma once

#include "TransferReading.h"
#include "TransferRecords.h"

namespace Srv_Mvt04215 {

// Checks every record of a request against what was read under lock and refuses (TransferRefused) the
// first one that does not hold, naming it and what is wrong: a destination that is not an open tab of
// the named sale, a destination table that is not that sale's table or whose bill is requested; an
// origin item that is gone or holds another quantity (a screen older than the database), that is not
// on the named origin table, or whose carried values are not the item's. Values compare as the data
// packet carries them, so that a request made from the screen's own lists always passes.
void checkRecords(const TransferRequestRecords& request, const LockedRead& read);

} // namespace Srv_Mvt04215
