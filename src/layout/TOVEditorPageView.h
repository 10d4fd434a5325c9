#pragma once

#include "layout/TOVLayoutView.h"

#include <cstdint>
#include <memory>
#include <vector>

class Line;
class Page;
class Song;
class TOVEditorBarView;
class TOVEditorLineView;
class TOVEditorPageView;
class TOVEditorSongView;

// One Page as an A4 sheet in the editor view: its staff lines stacked as line views from 40 below the top
// edge, one slot of lineHeight each (a double line's lower line right below its upper line), the song
// header in the first slot of the first page, and the sheet itself: background, the placement grid on
// screen, the footer with the song name and the page number.
class TOVEditorPageView : public TOVLayoutView {
public:
    using LineViewArray = std::vector<std::shared_ptr<TOVEditorLineView>>;

    // Above the first line and below the last slot.
    static constexpr double kMarginY = 40.0;
    // Height of all line slots: 842 less the two margins.
    static constexpr std::uint64_t kLinesHeight = 762;
    static constexpr double kGridPitch = 10.0;
    // The song header's left edge, and what it leaves free on the right (page width − 75 wide in all).
    static constexpr double kSongViewX = 40.0;
    static constexpr double kSongViewRightMargin = 35.0;
    // From the footer's text box to the sheet's bottom edge.
    static constexpr double kFooterBottom = 20.0;
    static constexpr double kFooterFontSize = 8.0;

    explicit TOVEditorPageView(const platform::Rect& frame = platform::Rect(),
                               TOVLayoutController* delegate = nullptr);
    ~TOVEditorPageView() override;

    // --- Building ---
    Page* page() const { return page_; }
    // A different page is stored and its line views built.
    void setPage(Page* page);
    void recreateAllSubViews() override;
    // recreateAllSubViews between the controller's will- and did-update reports.
    void updateAllLineViews();
    void createNewLineViewYAt(Line* line, double y);
    // At the line's own slot.
    void createNewLineView(Line* line);
    void removeLineView(Line* line);
    void removeAllLineViws();
    Song* song() const { return song_; }
    // The song header: a different song replaces the header (none for null). It lies over the first line
    // slot, whose line carries no bars.
    void setSong(Song* song);
    TOVEditorSongView* songView() const { return songView_.get(); }
    void removeFromSuperview() override;
    const LineViewArray& lineViewArray() const { return lineViewArray_; }

    // --- Lookups ---
    // The height of one line slot: 762 / the page's slots in whole numbers; 0 without slots.
    double lineHeight() const;
    // The place of a line among the page's lines, each lower line right after its upper line; a line not
    // on the page gets the count of all of them.
    std::uint64_t indexOfLine(const Line* line) const;
    std::uint64_t numberOfValidLines() const;
    // The bars of the page's lines, lower lines included.
    std::uint64_t numberOfBars() const;
    TOVEditorLineView* lineViewFromLine(const Line* line) const;
    // The line view of the other staff of a double line.
    TOVEditorLineView* alternativeLineViewOf(const TOVEditorLineView* lineView) const;
    TOVEditorLineView* nextSerialLineViewOf(const TOVEditorLineView* lineView) const;
    TOVEditorLineView* previousSerialLineViewOf(const TOVEditorLineView* lineView) const;
    // The next (previous) line view of the same staff: upper and single lines step over lower lines, a
    // lower line goes to the next lower line and sets stop when a single line lies between.
    TOVEditorLineView* nextLineViewOfStop(const TOVEditorLineView* lineView, bool& stop) const;
    TOVEditorLineView* previousLineViewOfStop(const TOVEditorLineView* lineView, bool& stop) const;
    // The first staff line view (past the song header slot on the first page), or its lower partner.
    TOVEditorLineView* firstLineViewOfLower(bool lower) const;
    TOVEditorLineView* lastLineViewOfLower(bool lower) const;
    TOVEditorBarView* firstBarViewOfLower(bool lower) const;
    TOVEditorBarView* lastBarViewOfLower(bool lower) const;
    TOVEditorBarView* barViewFromNumberInLower(std::uint64_t number, bool lower) const;
    TOVEditorPageView* nextPageView() const;
    TOVEditorPageView* previousPageView() const;

    // --- Drawing ---
    // A measurement hook of the program (TOVRIN_QUIT_AFTER_FIRST_PAGE): when set, called each time a page
    // sheet is drawn on screen. Unset in normal use.
    static inline void (*drawnOnScreenHook)() = nullptr;
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    // The footer: "name  page / pages".
    QString footerText() const;

private:
    void drawGrid(const platform::Rect& dirty, platform::GraphicsContext& ctx);
    void drawFooter(platform::GraphicsContext& ctx);
    std::int64_t indexOfLineView(const TOVEditorLineView* lineView) const;

    Page* page_ = nullptr;
    Song* song_ = nullptr;
    LineViewArray lineViewArray_;
    std::shared_ptr<TOVEditorSongView> songView_;
};
