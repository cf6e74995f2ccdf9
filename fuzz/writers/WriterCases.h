// One fuzz case per family of writers: each builds records from the input,
// writes them, parses the text back and checks every value against the
// records, null pointers included.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

namespace fuzz {

void fuzzDiagnosticWriters(FuzzedDataProvider& input);
void fuzzRuleGroupWriters(FuzzedDataProvider& input);
void fuzzMessageRuleMapWriters(FuzzedDataProvider& input);
void fuzzTreeWriters(FuzzedDataProvider& input);
void fuzzFileWriters(FuzzedDataProvider& input);
void fuzzLanguageWriters(FuzzedDataProvider& input);

}  // namespace fuzz
