#pragma once

#include "store/storeerror.h"

class QSqlDatabase;

// Letter case beyond ASCII. The engine's LIKE ignores the case of A to Z only; for patterns
// that hold other letters with case (full-width Latin, accented Latin, Greek, Cyrillic) Filter
// adds a second LIKE over casefold() of both sides.
namespace TextFunctions {

// The SQL name of the folding function: casefold(text) is the text case-folded, Null stays Null.
constexpr char FoldFunction[] = "casefold";

// Registers casefold() on the connection; false and *error when the engine refuses it.
bool install(const QSqlDatabase &db, StoreError *error);

// Whether LIKE needs casefold() for the character (a code point): it lies beyond ASCII and has
// a case partner. Chinese characters, digits and punctuation have none.
bool hasCaseBeyondAscii(char32_t character);

} // namespace TextFunctions
