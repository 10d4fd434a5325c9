#pragma once

#include "model/Symbol.h"

#include <cstdint>

// The tempo sign with a speed (beats per minute) shown beside it.
class SymbolTempo : public Symbol {
public:
    using Symbol::Symbol;

    std::uint64_t speed() const { return speed_; }
    // Nothing while undoing or redoing, or for an unchanged value.
    void setSpeed(std::uint64_t speed);

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

protected:
    void privateInit() override;
    bool isObservedKey(std::string_view key) const override;

private:
    std::uint64_t speed_ = 0;
};
