#pragma once

#include <QString>

namespace platform {

// Text helpers on QString, which holds every user-visible or document text (UTF-16, as the positions of
// the formatted texts count). Machine texts such as numbers, rectangle forms and base64 are std::string.

// YES exactly when a case-insensitive comparison finds both texts equal.
bool isEqualToStringIgnoreCase(const QString& receiver, const QString& other);
// The same for texts that may be missing (an absent attribute, a nil property): a missing receiver
// answers NO, as a message to nothing does, and a missing argument never equals anything either.
bool isEqualToStringIgnoreCase(const QString* receiver, const QString* other);

// YES when needle occurs in text ignoring case. An empty needle is found nowhere.
bool containsStringIgnoreCase(const QString& text, const QString& needle);

// Compares two texts with their runs of digits taken as numbers, so that "1.10" comes after "1.5" and
// "10.9" before "10.10"; everything else is compared character by character. Answers -1, 0 or 1.
int compareNumerically(const QString& a, const QString& b);

// NO for an empty text; otherwise YES exactly when the last UTF-16 code unit is c.
bool endsWithCharacter(const QString& text, char16_t c);

} // namespace platform
