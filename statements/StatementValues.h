/*
 * The values of statement fields: the amount of a debit or credit column and
 * the date of the date column, read from the field's text as it lies in the
 * line (see StatementFields.h).
 */
#pragma once

#include "statements/StatementFields.h"

namespace paylode {

// The amount of a raw field: unquoted, white space, thousands separators and
// minus signs removed, then its leading decimal number; 0.0 when there is
// none or it does not fit a double.
double ParseAmount(FieldText field);

// The OLE automation date of an unquoted date text written day first
// (DD/MM/YYYY) or year first (YYYY-MM-DD), at midnight; 0.0 when neither
// reading gives a date.
double ParseDate(FieldText text);

}  // namespace paylode
