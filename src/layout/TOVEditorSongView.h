#pragma once

#include "glyphs/TOVEditorViewBase.h"
#include "platform/data/Observation.h"

#include <QString>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Song;
class TOVLayoutController;
class TOVTextView;

// The song header on the first page: the song's name centred at the top and, below it, the credits of
// the producer, arranger, composer and writer, each right-aligned with its role label in a column to its
// left. The credits that are shown share the height under the name equally, in that order. Each of the
// five texts is a text view bound to its attribute of the Song, so a double click edits it in place and
// the edit goes into the song; the header follows every change of the five attributes.
class TOVEditorSongView : public TOVEditorViewBase {
public:
    // The role keys of the credits, in the order they are shown, and the song keys of all five texts.
    static constexpr std::array<const char*, 4> kRoleKeys{"producer", "arranger", "composer", "writer"};
    static constexpr double kRoleLabelFontSize = 10.0;
    // Between the label column and the widest credit.
    static constexpr double kRoleLabelGap = 10.0;

    // One shown credit: its role key and its plain text.
    using RoleEntry = std::pair<std::string, QString>;

    explicit TOVEditorSongView(const platform::Rect& frame = platform::Rect(),
                               TOVLayoutController* delegate = nullptr);
    ~TOVEditorSongView() override;

    TOVLayoutController* delegate() const { return delegate_; }
    void setDelegate(TOVLayoutController* delegate) { delegate_ = delegate; }

    Song* song() const { return song_; }
    // Binds the header to another song: it follows the song's five texts and makes new text views.
    void setSong(Song* song);

    // The shown credits (those with text), in the order producer, arranger, composer, writer.
    const std::vector<RoleEntry>& roleArray() const { return roleArray_; }
    void updateRoleArray();

    void createSongNameTextView();
    void createProducerTextView();
    void createArrangerTextView();
    void createComposerTextView();
    void createWriterTextView();

    // Sizes each text view to its text and places it: the name centred at the top, each credit at the
    // right edge on its row.
    void updateSizeAndPosition();
    void updatePositionSongNameTextView();
    void updatePositionProducerTextView();
    void updatePositionArrangerTextView();
    void updatePositionComposerTextView();
    void updatePositionWriterTextView();

    // The height under the song name.
    double personNameAreaHeight() const;
    // The y of a credit's row; 0 for a credit that is not shown.
    double yPosFromRoleName(const std::string& roleKey) const;
    // The widest credit text field; 0 when all are empty.
    double maxWidthOfPersonName() const;
    // The widest of the four role labels in their font.
    double maxWidthOfRoleName() const;
    // The user-visible label of a role key ("Produced by" for "producer", ...).
    static QString roleLabel(const std::string& roleKey);

    TOVTextView* songNameTextView() const { return songNameTextView_.get(); }
    TOVTextView* producerTextView() const { return producerTextView_.get(); }
    TOVTextView* arrangerTextView() const { return arrangerTextView_.get(); }
    TOVTextView* composerTextView() const { return composerTextView_.get(); }
    TOVTextView* writerTextView() const { return writerTextView_.get(); }
    // The credit text view of a role key; null for another key.
    TOVTextView* textViewOfRole(const std::string& roleKey) const;

    // The role labels of the shown credits, in a column left of the widest credit.
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    // A double click on the header (not on one of its texts) goes to the controller, which opens the
    // song settings.
    void mouseDown(const platform::Event& event) override;

private:
    void songDidChange(const platform::Change& change);
    void stopObservingSong();
    void dropTextViews();
    std::shared_ptr<TOVTextView> makeTextView(const char* key);
    void placeCredit(TOVTextView* textView, const std::string& roleKey);

    Song* song_ = nullptr;
    TOVLayoutController* delegate_ = nullptr;
    std::shared_ptr<TOVTextView> songNameTextView_;
    std::shared_ptr<TOVTextView> producerTextView_;
    std::shared_ptr<TOVTextView> arrangerTextView_;
    std::shared_ptr<TOVTextView> composerTextView_;
    std::shared_ptr<TOVTextView> writerTextView_;
    std::vector<RoleEntry> roleArray_;
    std::vector<platform::ObservationToken> songObservations_;
};
