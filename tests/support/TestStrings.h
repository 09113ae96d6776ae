// Identifiers of the test program's own string-table entries.
#pragma once

#define IDS_TEST_SHORT   1
#define IDS_TEST_LONG    2  // 300 characters: A to Z repeated
#define IDS_TEST_ANSI    3  // Latin-1 characters of code page 1252
#define IDS_TEST_MISSING 4
