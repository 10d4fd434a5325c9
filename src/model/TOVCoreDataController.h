#pragma once

#include <vector>

class Bar;
class Chord;
class Document;
class Line;
class Note;
class Page;
class Symbol;
class TOVManagedObject;
class TOVCoreDataControllerRefresher;

// The undo refresh buffer of one document window. While the undo manager undoes or redoes, the entities
// of the document report every change here; the buffer notes which pages, lines, bars, symbols, chords
// and notes changed and which whole-document refreshes are needed, each object once and in the order of
// its first report. When the undo or redo has ended, the editor (the refresher) rebuilds exactly those
// views. Outside undo and redo every report is ignored: normal editing updates its views itself.
class TOVCoreDataController {
public:
    TOVCoreDataController() = default;
    TOVCoreDataController(const TOVCoreDataController&) = delete;
    TOVCoreDataController& operator=(const TOVCoreDataController&) = delete;

    // Driven by the editor from the undo manager's will/did undo and redo notifications.
    void willUndo();
    void didUndo();
    void willRedo();
    void didRedo();

    // Hands what was recorded to the refresher, then forgets it.
    void drainBuffer();

    // Change reports; each takes the reporting entity.
    void documentDidUpdateDocument(Document* document);
    void documentDidUpdatePages(Document* document);
    void documentDidUpdateSymbols(Document* document);
    void documentDidUpdateChordHistory(Document* document);
    void pageDidUpdateLines(Page* page);
    void pageDidUpdateAPage(Page* page);
    void pageDidUpdateNum(Page* page);
    void lineDidUpdateBars(Line* line);
    void lineDidUpdateLower(Line* line);
    void lineDidUpdateFirstBarlineType(Line* line);
    void lineDidUpdatePartition(Line* line);
    void barDidUpdateChords(Bar* bar);
    void barDidUpdateNotes(Bar* bar);
    void barDidUpdateSymbols(Bar* bar);
    void barDidUpdateNum(Bar* bar);
    void barDidUpdateHeight(Bar* bar);
    void barDidUpdateBarlineType(Bar* bar);
    void barDidUpdateWidth(Bar* bar);
    void barDidUpdateClefType(Bar* bar);
    void barDidUpdateKeyType(Bar* bar);
    void barDidUpdateTimeType(Bar* bar);
    void barDidUpdateLongRest(Bar* bar);
    void symbolDidUpdateAttribute(Symbol* symbol);
    void chordDidUpdateAttribute(Chord* chord);
    void noteDidUpdateAttribute(Note* note);
    void noteDidUpdateUnits(Note* note);

    // At any time, not only during undo and redo: has the object's view refresh itself.
    void objectShouldUpdateView(TOVManagedObject* object);

    bool isUndoing() const { return isUndoing_; }
    void setIsUndoing(bool value) { isUndoing_ = value; }
    bool isRedoing() const { return isRedoing_; }
    void setIsRedoing(bool value) { isRedoing_ = value; }
    bool documentAllRefresh() const { return documentAllRefresh_; }
    void setDocumentAllRefresh(bool value) { documentAllRefresh_ = value; }
    bool documentSymbolsRefresh() const { return documentSymbolsRefresh_; }
    void setDocumentSymbolsRefresh(bool value) { documentSymbolsRefresh_ = value; }
    bool clefStatesRefresh() const { return clefStatesRefresh_; }
    void setClefStatesRefresh(bool value) { clefStatesRefresh_ = value; }
    bool barNumberRefresh() const { return barNumberRefresh_; }
    void setBarNumberRefresh(bool value) { barNumberRefresh_ = value; }

    // Not owned; the editor clears it when it goes away.
    TOVCoreDataControllerRefresher* editorViewController() const { return editorViewController_; }
    void setEditorViewController(TOVCoreDataControllerRefresher* editor) { editorViewController_ = editor; }

    std::vector<Page*>& pagesRefresh() { return pagesRefresh_; }
    std::vector<Line*>& linesRefresh() { return linesRefresh_; }
    std::vector<Bar*>& barsRefresh() { return barsRefresh_; }
    std::vector<Symbol*>& symbolsRefresh() { return symbolsRefresh_; }
    std::vector<Chord*>& chordsRefresh() { return chordsRefresh_; }
    std::vector<Note*>& notesRefresh() { return notesRefresh_; }
    const std::vector<Page*>& pagesRefresh() const { return pagesRefresh_; }
    const std::vector<Line*>& linesRefresh() const { return linesRefresh_; }
    const std::vector<Bar*>& barsRefresh() const { return barsRefresh_; }
    const std::vector<Symbol*>& symbolsRefresh() const { return symbolsRefresh_; }
    const std::vector<Chord*>& chordsRefresh() const { return chordsRefresh_; }
    const std::vector<Note*>& notesRefresh() const { return notesRefresh_; }

private:
    bool isRecording() const { return isUndoing_ || isRedoing_; }
    bool barIsRecorded(const Bar* bar) const;
    void recordBar(Bar* bar);
    void recordPage(Page* page);
    void clearRecords();

    bool isUndoing_ = false;
    bool isRedoing_ = false;
    bool documentAllRefresh_ = false;
    bool documentSymbolsRefresh_ = false;
    bool clefStatesRefresh_ = false;
    bool barNumberRefresh_ = false;
    TOVCoreDataControllerRefresher* editorViewController_ = nullptr;
    std::vector<Page*> pagesRefresh_;
    std::vector<Line*> linesRefresh_;
    std::vector<Bar*> barsRefresh_;
    std::vector<Symbol*> symbolsRefresh_;
    std::vector<Chord*> chordsRefresh_;
    std::vector<Note*> notesRefresh_;
};
