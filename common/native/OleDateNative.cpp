/*
 * OLE automation dates without Windows: the portable conversions.
 */
#include "common/OleDate.h"

namespace paylode {

bool PlatformOleDateFromFields(int year, int month, int day, int hour, int minute, int second, double* result) {
    return PortableOleDateFromFields(year, month, day, hour, minute, second, result);
}

bool PlatformFieldsFromOleDate(double date, DateFields* fields) { return PortableFieldsFromOleDate(date, fields); }

}  // namespace paylode
