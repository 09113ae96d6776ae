/*
 * The 400-byte statement import block as the reference host lays it out.
 *
 * The bank settings object fills it for the bank; the component writes the
 * address of its statement-file test into the first, pointer-sized field and
 * hands the block to the statement file chooser, which calls that test for
 * the file the user picks. The rest of the block tells the chooser where to
 * start and which files to list.
 */
#pragma once

#include <cstddef>

#include "host/HostBufferSizes.h"
#include "host/StatementFileTest.h"

namespace paylode::referencehost {

// The component's statement-file test (host/StatementFileTest.h).
using StatementFileTest = TorvoStatementFileTest;

constexpr std::size_t kBlockTextSize = 64;
constexpr std::size_t kBlockDirectorySize = 260;

struct StatementImportBlock {
    StatementFileTest statementFileTest;  // written by the component
    char fileFilter[kBlockTextSize];      // "*.csv"
    char initialDirectory[kBlockDirectorySize];
    char bankName[kBlockTextSize];  // the bank the block was filled for
};
static_assert(sizeof(StatementImportBlock) <= kStatementImportBlockBytes, "the block is 400 bytes");
static_assert(offsetof(StatementImportBlock, statementFileTest) == 0, "the test is the block's first field");

}  // namespace paylode::referencehost
