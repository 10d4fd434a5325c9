#include "app/TOVSongSettingViewController.h"

#include "model/Song.h"
#include "platform/foundation/AttributedString.h"
#include "platform/foundation/Resources.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QWidget>

#include <optional>

namespace {

QString tr(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

// Writes the field into the song's text when the texts differ; an absent text always differs, so that
// every field of a new song is written.
template <typename Getter, typename Setter>
void commitText(const QLineEdit* field, double pointSize, Getter get, Setter set) {
    const QString text = field != nullptr ? field->text() : QString();
    const std::optional<platform::AttributedString> stored = get();
    if (stored && stored->string() == text) {
        return;
    }
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{QStringLiteral("LucidaGrande"), pointSize};
    set(platform::AttributedString(text, attributes));
}

} // namespace

TOVSongSettingViewController::TOVSongSettingViewController() {
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("TOVSongSettingViewController"));
    auto* form = new QFormLayout(view_);
    auto makeField = [&](const char* label, const char* name) {
        auto* field = new QLineEdit(view_);
        field->setObjectName(QString::fromLatin1(name));
        field->setMinimumWidth(260);
        form->addRow(tr(label), field);
        return field;
    };
    songNameTextField_ = makeField("Title:", "songNameTextField");
    producerTextField_ = makeField("Producer:", "producerTextField");
    arrangerTextField_ = makeField("Arranger:", "arrangerTextField");
    composerTextField_ = makeField("Composer:", "composerTextField");
    writerTextField_ = makeField("Writer:", "writerTextField");
    rowSelector_ = new QComboBox(view_);
    rowSelector_->setObjectName(QStringLiteral("rowSelector"));
    rowSelector_->addItem(tr("Single Lines"));
    rowSelector_->addItem(tr("Double Lines"));
    form->addRow(tr("Lines:"), rowSelector_);
}

TOVSongSettingViewController::~TOVSongSettingViewController() {
    // The form is the controller's until another widget has taken it over.
    if (view_ != nullptr && view_->parentWidget() == nullptr) {
        delete view_.data();
    }
}

void TOVSongSettingViewController::commitPropertiesIn(Song* song) {
    if (song == nullptr) {
        return;
    }
    commitText(
        songNameTextField_, 20.0, [&] { return song->name(); },
        [&](const platform::AttributedString& t) { song->setName(t); });
    commitText(
        producerTextField_, 10.0, [&] { return song->producer(); },
        [&](const platform::AttributedString& t) { song->setProducer(t); });
    commitText(
        arrangerTextField_, 10.0, [&] { return song->arranger(); },
        [&](const platform::AttributedString& t) { song->setArranger(t); });
    commitText(
        composerTextField_, 10.0, [&] { return song->composer(); },
        [&](const platform::AttributedString& t) { song->setComposer(t); });
    commitText(
        writerTextField_, 10.0, [&] { return song->writer(); },
        [&](const platform::AttributedString& t) { song->setWriter(t); });
    song->setIsDoubleRow(rowSelector_ != nullptr && rowSelector_->currentIndex() == 1);
}
