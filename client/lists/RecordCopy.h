#pragma once

#include "platform/Dataset.h"

namespace Cli_Mvt04215 {

// Which way an item's record crosses between the lists.
enum class Toward { Destination, Origin };

// Copies the carried fields of the current record of `from` into the record being edited in `to`: one
// table of fields, read from origin to destination or back. What a new destination record takes from
// the screen (branch, quantity, seat, store, table) its caller writes afterwards.
void copyItemRecord(platform::Dataset& from, platform::Dataset& to, Toward toward);

} // namespace Cli_Mvt04215
