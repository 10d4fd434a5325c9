#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class Song;

// The song form: the title, the four credits and whether the score is written in double lines. The
// document shows it in the save panel of a new song; the song-setting sheet shows it for an existing
// song, with the line choice disabled.
class TOVSongSettingViewController {
public:
    // Made as from its interface file "TOVSongSettingViewController"; the view is built at once.
    TOVSongSettingViewController();
    ~TOVSongSettingViewController();
    TOVSongSettingViewController(const TOVSongSettingViewController&) = delete;
    TOVSongSettingViewController& operator=(const TOVSongSettingViewController&) = delete;

    // The form. Owned by the controller until it is put into another widget (an accessory view, the
    // sheet), which then owns it; the controller's pointers follow it and turn null if it goes first.
    QWidget* view() const { return view_; }

    QLineEdit* songNameTextField() const { return songNameTextField_; }
    QLineEdit* producerTextField() const { return producerTextField_; }
    QLineEdit* arrangerTextField() const { return arrangerTextField_; }
    QLineEdit* composerTextField() const { return composerTextField_; }
    QLineEdit* writerTextField() const { return writerTextField_; }
    // Item 0 single lines, item 1 double lines.
    QComboBox* rowSelector() const { return rowSelector_; }

    // Writes the form into the song: each text that differs from the song's (an absent text always
    // differs) as a new formatted text in its font, and the line choice every time.
    void commitPropertiesIn(Song* song);

private:
    QPointer<QWidget> view_;
    QPointer<QLineEdit> songNameTextField_;
    QPointer<QLineEdit> producerTextField_;
    QPointer<QLineEdit> arrangerTextField_;
    QPointer<QLineEdit> composerTextField_;
    QPointer<QLineEdit> writerTextField_;
    QPointer<QComboBox> rowSelector_;
};
