#include "layout/TOVEditorSongView.h"

#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"

#include "glyphs/TOVTextView.h"
#include "layout/TOVLayoutController.h"
#include "model/Song.h"
#include "platform/foundation/Resources.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

using platform::AttributedString;
using platform::Point;
using platform::Rect;

namespace {

using Getter = std::optional<AttributedString> (Song::*)() const;
using Setter = void (Song::*)(const std::optional<AttributedString>&);

struct SongText {
    const char* key;
    Getter get;
    Setter set;
};

// The five texts of the header, by their keys in the Song.
constexpr SongText kSongTexts[] = {
    {"name", &Song::name, &Song::setName},
    {"producer", &Song::producer, &Song::setProducer},
    {"arranger", &Song::arranger, &Song::setArranger},
    {"composer", &Song::composer, &Song::setComposer},
    {"writer", &Song::writer, &Song::setWriter},
};

const SongText* songText(const std::string& key) {
    for (const SongText& text : kSongTexts) {
        if (key == text.key) {
            return &text;
        }
    }
    return nullptr;
}

// The plain text of one of the song's texts; empty when nothing is stored.
QString plainText(const Song* song, const std::string& key) {
    const SongText* text = songText(key);
    if (song == nullptr || text == nullptr) {
        return QString();
    }
    const std::optional<AttributedString> value = (song->*(text->get))();
    return value ? value->string() : QString();
}

platform::Font roleLabelFont() {
    return platform::Font::namedOrUserFont(QStringLiteral("Lucida Grande"),
                                           TOVEditorSongView::kRoleLabelFontSize);
}

} // namespace

TOVEditorSongView::TOVEditorSongView(const Rect& frame, TOVLayoutController* delegate)
    : TOVEditorViewBase(frame), delegate_(delegate) {
    roleArray_.reserve(5);
}

TOVEditorSongView::~TOVEditorSongView() {
    stopObservingSong();
    for (TOVTextView* view :
         {songNameTextView(), producerTextView(), arrangerTextView(), composerTextView(), writerTextView()}) {
        if (view != nullptr) {
            view->setDelegate(nullptr);
        }
    }
}

// --- Binding ---

void TOVEditorSongView::setSong(Song* song) {
    if (song == song_) {
        return;
    }
    stopObservingSong();
    song_ = song;
    updateRoleArray();
    if (song_ != nullptr) {
        for (const SongText& text : kSongTexts) {
            songObservations_.push_back(song_->addObserver(
                text.key, [this](const platform::Change& change) { songDidChange(change); }));
        }
    }
    dropTextViews();
    createSongNameTextView();
    createProducerTextView();
    createArrangerTextView();
    createComposerTextView();
    createWriterTextView();
}

void TOVEditorSongView::stopObservingSong() {
    for (const auto& token : songObservations_) {
        if (token.object != nullptr) {
            token.object->removeObserver(token);
        }
    }
    songObservations_.clear();
}

void TOVEditorSongView::dropTextViews() {
    for (auto* slot :
         {&songNameTextView_, &producerTextView_, &arrangerTextView_, &composerTextView_, &writerTextView_}) {
        if (*slot) {
            (*slot)->unbindValue();
            (*slot)->removeFromSuperview();
            slot->reset();
        }
    }
}

void TOVEditorSongView::songDidChange(const platform::Change& change) {
    if (song_ == nullptr || change.object != song_) {
        return;
    }
    // The texts first take the new values, whichever observer of the song hears of the change first, so
    // that they are measured and placed with them.
    for (TOVTextView* view :
         {songNameTextView(), producerTextView(), arrangerTextView(), composerTextView(), writerTextView()}) {
        if (view != nullptr) {
            view->showBoundValue();
        }
    }
    updateRoleArray();
    updateSizeAndPosition();
    setNeedsDisplay();
    if (change.key == "name") {
        // Every page's footer shows the name, however it was changed (in place or in the song's sheet).
        for (platform::View* view = superview(); view != nullptr; view = view->superview()) {
            if (auto* editor = dynamic_cast<TOVEditorView*>(view)) {
                for (const auto& page : editor->pageViewArray()) {
                    page->setNeedsDisplay();
                }
                break;
            }
        }
    }
}

void TOVEditorSongView::updateRoleArray() {
    roleArray_.clear();
    for (const char* key : kRoleKeys) {
        const QString text = plainText(song_, key);
        if (!text.isEmpty()) {
            roleArray_.emplace_back(key, text);
        }
    }
}

// --- Text views ---

std::shared_ptr<TOVTextView> TOVEditorSongView::makeTextView(const char* key) {
    auto view = std::make_shared<TOVTextView>();
    view->setDelegate(delegate_);
    if (Song* song = song_; song != nullptr) {
        const SongText* text = songText(key);
        view->bindValue(
            song, key, [song, text] { return (song->*(text->get))(); },
            [song, text](const AttributedString& value) { (song->*(text->set))(value); });
    }
    return view;
}

void TOVEditorSongView::createSongNameTextView() {
    songNameTextView_ = makeTextView("name");
    updatePositionSongNameTextView();
    addSubview(songNameTextView_);
}

void TOVEditorSongView::createProducerTextView() {
    producerTextView_ = makeTextView("producer");
    updatePositionProducerTextView();
    addSubview(producerTextView_);
}

void TOVEditorSongView::createArrangerTextView() {
    arrangerTextView_ = makeTextView("arranger");
    updatePositionArrangerTextView();
    addSubview(arrangerTextView_);
}

void TOVEditorSongView::createComposerTextView() {
    composerTextView_ = makeTextView("composer");
    updatePositionComposerTextView();
    addSubview(composerTextView_);
}

void TOVEditorSongView::createWriterTextView() {
    writerTextView_ = makeTextView("writer");
    updatePositionWriterTextView();
    addSubview(writerTextView_);
}

TOVTextView* TOVEditorSongView::textViewOfRole(const std::string& roleKey) const {
    if (roleKey == "producer") {
        return producerTextView();
    }
    if (roleKey == "arranger") {
        return arrangerTextView();
    }
    if (roleKey == "composer") {
        return composerTextView();
    }
    if (roleKey == "writer") {
        return writerTextView();
    }
    return nullptr;
}

// --- Layout ---

void TOVEditorSongView::updateSizeAndPosition() {
    updatePositionSongNameTextView();
    updatePositionProducerTextView();
    updatePositionArrangerTextView();
    updatePositionComposerTextView();
    updatePositionWriterTextView();
}

void TOVEditorSongView::updatePositionSongNameTextView() {
    if (!songNameTextView_) {
        return;
    }
    songNameTextView_->resize();
    songNameTextView_->setFrameOrigin(
        Point{(bounds().width() - songNameTextView_->bounds().width()) * 0.5, 0.0});
}

void TOVEditorSongView::placeCredit(TOVTextView* textView, const std::string& roleKey) {
    if (textView == nullptr) {
        return;
    }
    textView->resize();
    textView->setFrameOrigin(Point{bounds().width() - textView->bounds().width(), yPosFromRoleName(roleKey)});
}

void TOVEditorSongView::updatePositionProducerTextView() {
    placeCredit(producerTextView(), "producer");
}

void TOVEditorSongView::updatePositionArrangerTextView() {
    placeCredit(arrangerTextView(), "arranger");
}

void TOVEditorSongView::updatePositionComposerTextView() {
    placeCredit(composerTextView(), "composer");
}

void TOVEditorSongView::updatePositionWriterTextView() {
    placeCredit(writerTextView(), "writer");
}

double TOVEditorSongView::personNameAreaHeight() const {
    const double nameHeight = songNameTextView_ ? songNameTextView_->frame().height() : 0.0;
    return frame().height() - nameHeight;
}

double TOVEditorSongView::yPosFromRoleName(const std::string& roleKey) const {
    const auto found = std::find_if(roleArray_.begin(), roleArray_.end(),
                                    [&](const RoleEntry& entry) { return entry.first == roleKey; });
    if (found == roleArray_.end()) {
        return 0.0;
    }
    const double index = static_cast<double>(found - roleArray_.begin());
    const double rowHeight = personNameAreaHeight() / static_cast<double>(roleArray_.size());
    const double nameHeight = songNameTextView_ ? songNameTextView_->frame().height() : 0.0;
    return index * rowHeight + nameHeight;
}

double TOVEditorSongView::maxWidthOfPersonName() const {
    double widest = 0.0;
    for (const char* key : kRoleKeys) {
        if (TOVTextView* view = textViewOfRole(key)) {
            widest = std::max(widest, view->textField()->frame().width());
        }
    }
    return widest;
}

QString TOVEditorSongView::roleLabel(const std::string& roleKey) {
    const char* label = "";
    if (roleKey == "producer") {
        label = "Produced by";
    } else if (roleKey == "arranger") {
        label = "Arranged by";
    } else if (roleKey == "composer") {
        label = "Composed by";
    } else if (roleKey == "writer") {
        label = "Words by";
    }
    return QString::fromStdString(platform::localized(label));
}

double TOVEditorSongView::maxWidthOfRoleName() const {
    const platform::Font font = roleLabelFont();
    double widest = 0.0;
    for (const char* key : kRoleKeys) {
        widest = std::max(widest, font.widthOfString(roleLabel(key)));
    }
    return widest;
}

// --- Drawing and mouse ---

void TOVEditorSongView::drawRect(const Rect&, platform::GraphicsContext& ctx) {
    const platform::Font font = roleLabelFont();
    const double x = bounds().width() - maxWidthOfPersonName() - maxWidthOfRoleName() - kRoleLabelGap;
    for (const char* key : kRoleKeys) {
        TOVTextView* view = textViewOfRole(key);
        if (view == nullptr || plainText(song_, key).isEmpty()) {
            continue;
        }
        ctx.drawText(roleLabel(key), font, Point{x, view->frame().origin.y});
    }
}

void TOVEditorSongView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2 && delegate_ != nullptr) {
        delegate_->layoutViewMousDidDoubleClick(this, event);
        return;
    }
    TOVEditorViewBase::mouseDown(event);
}
