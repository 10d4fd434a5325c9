#pragma once

#include "app/TOVSheetController.h"

#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <memory>

class Song;
class TOVSongSettingViewController;

// The song-setting sheet: the song form on a sheet with OK and Cancel. The form's line choice shows the
// song's own and cannot be changed here.
class TOVSonSettingWindowController : public TOVSheetController {
public:
    // Made as from its interface file "TOVSonSettingWindowController"; the window and the form are built
    // and set up at once.
    TOVSonSettingWindowController();
    ~TOVSonSettingWindowController() override;

    // Not owned; set before each run.
    Song* song() const { return song_; }
    void setSong(Song* song) { song_ = song; }
    QWidget* settingView() const { return settingView_; }
    TOVSongSettingViewController* viewController() const { return viewController_.get(); }
    QPushButton* acceptButton() const { return acceptButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    // Fills the form from the song: the five texts ("" where the song has none) and its line choice.
    void updateFields();
    // updateFields, the sheet's run; when accepted, the form is written into the song.
    bool runModalOnWindow(platform::Window* window) override;

private:
    Song* song_ = nullptr;
    QPointer<QWidget> settingView_;
    QPointer<QPushButton> acceptButton_;
    QPointer<QPushButton> cancelButton_;
    std::unique_ptr<TOVSongSettingViewController> viewController_;
};
