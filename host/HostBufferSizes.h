/*
 * The sizes of the buffers that cross the host's bank settings object, as
 * the host framework fixes them: the component allocates them, the host
 * fills or reads them. The component and the reference host both take their
 * sizes from here.
 */
#pragma once

#include <cstddef>

namespace paylode {

// The bank's name handed to ConfigureBank.
constexpr std::size_t kConfigureBankNameBytes = 1024;
// The bank's name handed to GetStatementImportSettings and
// GetPaymentFileSettings.
constexpr std::size_t kBankNameBytes = 100;
// What GetPaymentFileSettings fills: file name, extension, directory.
constexpr std::size_t kPaymentFileNameBytes = 1024;
constexpr std::size_t kPaymentExtensionBytes = 4;
constexpr std::size_t kPaymentDirectoryBytes = 1024;
// The statement import block that GetStatementImportSettings fills and the
// statement file chooser takes.
constexpr std::size_t kStatementImportBlockBytes = 400;

}  // namespace paylode
