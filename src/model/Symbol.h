#pragma once

#include "model/TOVManagedObject.h"
#include "platform/foundation/Geometry.h"

#include <QString>

class Bar;
class Document;

// Everything placed on the score that is not a bar or a line: a type code, a frame (in the coordinates
// of the view of the bar it belongs to), a rotation angle, a scale and a flip flag. It belongs to a bar
// or, for page-level drawing tools and texts, to the document.
//
// The setters of the stored attributes do nothing while the undo manager undoes or redoes (undo restores
// the store itself), and those of type, frame, flip, angle and scale also do nothing for an unchanged
// value. Angle and scale are stored in single precision, and the cache keeps what the store holds, so
// the getters answer the same before and after undo and redo.
class Symbol : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    int type() const { return type_; }
    void setType(int type);
    platform::Rect frame() const { return frame_; }
    void setFrame(const platform::Rect& frame);
    bool flip() const { return flip_; }
    void setFlip(bool flip);
    double angle() const { return angle_; }
    void setAngle(double angle);
    double scale() const { return scale_; }
    void setScale(double scale);
    // The natural size of the symbol's glyph, given by its view; never stored. Setting a width above 0
    // while the scale is still 0 also sets the scale to frame width / natural width.
    platform::Size initialSize() const { return initialSize_; }
    void setInitialSize(platform::Size size);

    // The owning bar (chords and notes keep theirs under their own keys).
    virtual Bar* bar() const;
    virtual void setBar(Bar* bar);
    Document* document() const;
    void setDocument(Document* document);

    // The buffer of the owning document: directly for a document-level symbol, else through the bar, its
    // line, page and document; none without an owner.
    TOVCoreDataController* coreDataController() const override;
    // The notation font of the owning document; a null text without an owner.
    QString plugInFontID() const;
    // Asks the buffer to have the symbol's view refresh itself.
    void updateView();
    void postNotificationUpdateAttribute() override;

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    // Through the setters, in this order: angle, scale, flip, frame, type, natural size.
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }

protected:
    // The document that owns the symbol, directly or through its bar.
    virtual Document* owningDocument() const;
    // The document of the bar's line and page; none for a bar outside the song.
    static Document* documentOfBar(const Bar* bar);
    void privateInit() override;
    void didChange(const platform::Change& change) override;
    // The keys whose changes the symbol reports; the kinds add theirs.
    virtual bool isObservedKey(std::string_view key) const;

private:
    // Nothing while undoing or redoing or for an unchanged value; else stores and caches with notices.
    template <typename T, typename Stored>
    void setAttribute(std::string_view key, T value, T Symbol::*field, const Stored& stored);

    int type_ = 0;
    platform::Rect frame_;
    bool flip_ = false;
    double angle_ = 0;
    double scale_ = 0;
    platform::Size initialSize_;
};
