#pragma once

#include "platform/FieldDef.h"

namespace schema {

// The 44 fields of one ordered item, in the order the origin list holds them.
const platform::FieldList& itemRecordFields();

// The item query's typed result fields: the item record with TXPRODCOMVEN after IDPESAPROD.
const platform::FieldList& itemQueryFields();

// The destination list (and transfer request): item fields 1 to 30, the client-only fields that tie a
// record to its origin item and to the destination, the waiter, the origin seat, fields 32 to 43, and
// the seat state (field 44), which the screen carries so that an item returns with it.
const platform::FieldList& destinationListFields();

// The destination table's check record: one per tab of its open sale.
const platform::FieldList& destinationCheckFields();

// The fields only the destination list has.
const QStringList& destinationOnlyFieldNames();

// Width of a text field of the item record (0 for the other types). Throws for an unknown name.
int itemFieldWidth(const QString& name);

} // namespace schema
