/*
 * The component's classes, in the order of registration and of the class
 * object lookup: Bank, BankServices, BankPaymentService,
 * BankStatementService. One table drives DllGetClassObject, registration
 * and unregistration.
 *
 * A row (ClassEntry, combase/ClassObjects.h) names the class's CLSID, its
 * creation function, its registry script (a REGISTRY resource, one .rgs
 * file in resources/) and whether the class is registered as a bank of the
 * host's e-banking framework (the Bank class alone). CreateInstanceOf<CClass>
 * (combase/ComponentObject.h) gives every class its creation function: a
 * row reads
 *
 *   {&CLSID_Bank, &CreateInstanceOf<CBank>, IDR_BANK, true},
 */
#pragma once

#include <cstddef>

#include "combase/ClassObjects.h"
#include "common/win/Platform.h"

namespace paylode {

// How many classes the component has: the bank, its services collection and
// the two services.
constexpr std::size_t kClassCount = 4;

// The component's classes, in order.
ClassTable Classes();

// The row of `clsid`, or null when it is none of the component's classes.
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace paylode
