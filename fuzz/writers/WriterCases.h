// One fuzz case per family of writers: each builds records from the input,
// writes them, parses the text back and checks every value against the
// records, null pointers included.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace fuzz {

void fuzzDiagnosticWriters(FuzzedDataProvider& input);
void fuzzRuleGroupWriters(FuzzedDataProvider& input);
void fuzzMessageRuleMapWriters(FuzzedDataProvider& input);
void fuzzTreeWriters(FuzzedDataProvider& input);
void fuzzFileWriters(FuzzedDataProvider& input);
void fuzzLanguageWriters(FuzzedDataProvider& input);

// The text that the bridge returns for the records each case builds from the
// same input (empty for null records), for checking readers of the texts.
std::string diagnosticsText(FuzzedDataProvider& input);
std::string ruleGroupsText(FuzzedDataProvider& input);
std::string messageRuleMapText(FuzzedDataProvider& input);
std::string treesText(FuzzedDataProvider& input);
std::string fileText(FuzzedDataProvider& input);
std::string languagesText(FuzzedDataProvider& input);

}  // namespace fuzz
