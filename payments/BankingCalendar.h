/*
 * The banking calendar of the payment options dialog: which days are banking
 * days, the next available crediting date the dialog proposes, and the two
 * checks a processing date must pass before the dialog closes with OK.
 *
 * The calendar is computed, not configured: weekends and the bank-holiday
 * rules for New Year, Easter, the May and August Monday holidays and
 * Christmas, with their substitute days. Dates are OLE automation dates in
 * the machine's local time; every rule looks at the whole day only. The
 * calendar keeps no state: "today" is read from the local clock at each call.
 */
#pragma once

#include "common/MessageBox.h"

namespace paylode {

// Why a day is not a banking day.
enum NonBankingReason : int {
    kBankingDay = 0,
    kBankHoliday = 1,
    kWeekend = 2,
};

// The options dialog takes a processing date at most this many days after
// today.
constexpr int kMaxProcessingDaysAhead = 45;

// The current local date and time, to the second.
double GetToday();

// True for Monday to Friday.
bool IsWeekday(double date);

// Easter Sunday of a Gregorian year (1 to 9999), at midnight.
double GetEasterSunday(int year);

// True when the date's day is a banking day. Otherwise `daysToNext` is how
// many days on the next likely banking day lies and `reason` says why (bank
// holiday or weekend); both are 0 for a banking day. A hint from the holiday
// rules: the day it points at is not checked again.
bool IsBankingDay(double date, int* daysToNext, int* reason);

// The next available crediting date after `start`: about two banking days
// on, keeping the start's time of day. When the holiday rules do not settle
// on a banking day within three tries, the start itself.
double GetNextCreditingDate(double start);

// False, after telling the user why in a message box owned by `owner`, when
// the processing date lies before today or is not a banking day.
bool ValidateProcessingDate(double date, WindowHandle owner);

// True, after telling the user in a message box owned by `owner`, when the
// processing date lies more than 45 days after today.
bool IsProcessingDateTooFar(double date, WindowHandle owner);

}  // namespace paylode
