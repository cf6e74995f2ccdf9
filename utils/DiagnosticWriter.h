// Writers of diagnostics and their messages as compact result XML.
//
// Below the top level a null pointer is written as empty: a null text as an
// element with no content, a null list as no elements, a null record as its
// element with no content. References and parameters are CDATA sections; a
// "]]>" inside one is split across two sections so that it reads back intact.
#pragma once

#include <string>

#include "api/KERVRecords.h"

namespace Utils {

// UMID, HFL, ML, MN, MT (escaped), P, then one R per reference; no VQM tags.
std::string SerializeMessage(VQMessage_C* message);
// VQM, MH, SS, SD, the sub-diagnostics as nested VQD, one MP per parameter,
// one LI per location; no VQD tags. Empty text for a null diagnostic.
std::string SerializeDiagnostic(DiagnosticStruct* diagnostic);
// One VQD element per diagnostic, no enclosing element; empty for null.
std::string SerializeDiagnosticArrayIndividual(VQDiagnosticArray_C* diagnostics);
// The whole list as one VQE element; logs its size at level 2 first. Empty
// text, and no log line, for a null array.
std::string SerializeDiagnosticArray(VQDiagnosticArray_C* diagnostics);

}  // namespace Utils
