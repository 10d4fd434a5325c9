#pragma once

#include "model/Symbol.h"
#include "model/TOVRepeatNumberStates.h"

#include <QString>

#include <cstdint>

// A repeat or navigation sign with an identifier: the pass numbers of a sign with circled numbers (as
// their digits, "124" for passes 1, 2 and 4), the count of a repeat-times sign, or the text of a volta or
// bis bracket.
class SymbolRepeat : public Symbol {
public:
    using Symbol::Symbol;

    // A null text when nothing is stored.
    const QString& repeatIDString() const { return repeatIDString_; }
    // Always writes, except while undoing or redoing.
    void setRepeatIDString(const QString& text);
    // The integer at the start of the identifier; 0 when there is none.
    std::int64_t repeatIDNumber() const;
    // Stores the number's decimal text as the identifier; always writes, except while undoing or redoing.
    void setRepeatIDNumber(std::int64_t number);
    // Pass k is on when the identifier's number holds the digit k (1 to 8); 0 and 9 are ignored.
    TOVRepeatNumberStates repeatNumberStates() const;
    // Stores the digits of the passes that are on (state 1), in ascending order; mixed counts as off.
    void setRepeatNumberStates(const TOVRepeatNumberStates& states);

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

protected:
    void privateInit() override;
    bool isObservedKey(std::string_view key) const override;

private:
    QString repeatIDString_;
};
