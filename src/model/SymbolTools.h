#pragma once

#include "model/Symbol.h"

// A drawing tool (text, arrow, wave, line) on the page. It may follow a bar: then its frame relative to
// that bar's view places it, and it moves with the bar. When the bar goes the tool stays, unlinked.
class SymbolTools : public Symbol {
public:
    using Symbol::Symbol;

    platform::Rect frameRelativeToBar() const { return frameRelativeToBar_; }
    // Always writes (also an equal frame), except while undoing or redoing.
    void setFrameRelativeToBar(const platform::Rect& frame);
    Bar* barFollowsTo() const;
    void setBarFollowsTo(Bar* bar);

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

protected:
    void privateInit() override;
    bool isObservedKey(std::string_view key) const override;

private:
    platform::Rect frameRelativeToBar_;
};
