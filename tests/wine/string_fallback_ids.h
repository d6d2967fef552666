#pragma once

// Strings of the fallback tests, in blocks of their own (4000-4015 and 4016-4031), beside
// Tivolan's tables.
#define IDS_TEST_ENGLISH_ONLY 4000   // English; the Korean table has the block but not the string
#define IDS_TEST_TRANSLATED 4001     // English and Korean
#define IDS_TEST_UNDEFINED 4002      // in no table, though its block exists
#define IDS_TEST_ENGLISH_BLOCK 4016  // a block only English has
