/*
 * The host framework's interfaces as the component's Windows code sees
 * them: the headers that widl generates from the host IDL files into the build tree,
 * included after the platform headers so that the component's own names
 * (LoadString) stay free of the SDK's macros.
 */
#pragma once

#include "common/win/Platform.h"

#include "TorvoEBanking.h"
#include "TorvoBankPayments.h"
#include "TorvoBankReconciliation.h"

#include "host/EBankingCategory.h"
#include "host/StatementFileTest.h"
