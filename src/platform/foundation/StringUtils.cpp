#include "platform/foundation/StringUtils.h"

namespace platform {

bool isEqualToStringIgnoreCase(const QString& receiver, const QString& other) {
    return QString::compare(receiver, other, Qt::CaseInsensitive) == 0;
}

bool isEqualToStringIgnoreCase(const QString* receiver, const QString* other) {
    return receiver != nullptr && other != nullptr && isEqualToStringIgnoreCase(*receiver, *other);
}

bool containsStringIgnoreCase(const QString& text, const QString& needle) {
    return !needle.isEmpty() && text.contains(needle, Qt::CaseInsensitive);
}

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

int compareNumerically(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAsciiDigit(a[i]) && isAsciiDigit(b[j])) {
            // Compare the two digit runs as numbers of any length: without leading zeros, the longer run
            // is the larger number, and runs of equal length compare digit by digit.
            while (i < a.size() && a[i] == u'0') {
                ++i;
            }
            while (j < b.size() && b[j] == u'0') {
                ++j;
            }
            const qsizetype ai = i;
            const qsizetype bj = j;
            while (i < a.size() && isAsciiDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && isAsciiDigit(b[j])) {
                ++j;
            }
            const qsizetype aLen = i - ai;
            const qsizetype bLen = j - bj;
            if (aLen != bLen) {
                return aLen < bLen ? -1 : 1;
            }
            const int c = QStringView(a).mid(ai, aLen).compare(QStringView(b).mid(bj, bLen));
            if (c != 0) {
                return c < 0 ? -1 : 1;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j] ? -1 : 1;
        }
        ++i;
        ++j;
    }
    const bool aDone = i >= a.size();
    const bool bDone = j >= b.size();
    if (aDone && bDone) {
        return 0;
    }
    return aDone ? -1 : 1;
}

bool endsWithCharacter(const QString& text, char16_t c) {
    return !text.isEmpty() && text.back() == QChar(c);
}

} // namespace platform
