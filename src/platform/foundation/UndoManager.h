#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Records undo actions in groups and plays them back.
//
// Groups. By default a group opens at the first registration and closes when control returns to the
// outermost Qt event loop, so each event is one undo step; a nested (modal) event loop run inside the event
// does not close it. `beginUndoGrouping` / `endUndoGrouping` nest explicit groups: a nested group joins its
// parent, an outermost one becomes a step when it ends (and, while grouping by event, at the end of the
// event if it is still open then). A group that closes without actions is dropped. Registering while no
// group is open and grouping by event is off is a programming error (asserted in debug builds; a release
// build records the action as a step of its own).
//
// Undo and redo. `undo` first closes an open outermost group (level 1), then runs the actions of the last
// step in reverse order. While it runs, `isUndoing` is true and every registration is collected into the
// matching redo step; `redo` does the reverse. `isUndoing` / `isRedoing` stay true from before the will-
// notification to after the did-notification, so observers of either see the flag. A registration outside
// undo and redo forgets the redo steps.
//
// Dropped actions (`removeAllActions`, the redo steps a new registration forgets, a step once it has been
// undone or redone) are destroyed at once, so what an action captured can count its holders: the object
// graph keeps a deleted object in memory exactly as long as some action can still reach it.
//
// Change count. A stamp of the content state that a document compares for its edited state: a new step
// gives a new, higher stamp; undo goes back to the stamp before the step, redo forward again. Equal stamps
// mean equal content, also across undo followed by a new edit (that edit gets a stamp never seen before).
//
// Main thread only.
class UndoManager {
public:
    using Action = std::function<void()>;
    using ObserverId = std::uint64_t;

    enum class Notification {
        WillUndo,
        DidUndo,
        WillRedo,
        DidRedo,
        ChangeCountDidChange,
    };

    UndoManager();
    ~UndoManager();
    UndoManager(const UndoManager&) = delete;
    UndoManager& operator=(const UndoManager&) = delete;

    // Adds an action to the open group (opening one when grouping by event), or to the step being built
    // while undoing or redoing. Ignored while registration is disabled.
    void registerUndo(Action action);

    // Nestable: registration resumes when every disable has been matched by an enable.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return disableCount_ == 0; }

    bool groupsByEvent() const { return groupsByEvent_; }
    void setGroupsByEvent(bool groupsByEvent);
    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return static_cast<int>(openGroups_.size()); }

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();
    bool isUndoing() const { return undoing_; }
    bool isRedoing() const { return redoing_; }

    // Forgets every step and the actions of the open groups; the grouping level and the change count stay.
    void removeAllActions();

    // Names the step being recorded (the outermost open group, else the last step).
    void setActionName(const std::string& name);
    std::string undoActionName() const;
    std::string redoActionName() const;

    std::uint64_t changeCount() const { return changeCount_; }

    // Observers are called synchronously, in the order they were added; they may add and remove observers.
    ObserverId addObserver(Notification notification, std::function<void()> callback);
    void removeObserver(ObserverId id);

    // Marks a nested event loop (a modal run) for as long as it exists. Groups opened by event stay open
    // while any such scope exists and close once control is back in the outer loop. Nested loops run with
    // QEventLoop::exec are recognised by their loop level even without a scope, but the scope also closes
    // the group before any event that the modal's caller posts afterwards.
    class NestedEventLoopScope {
    public:
        NestedEventLoopScope();
        ~NestedEventLoopScope();
        NestedEventLoopScope(const NestedEventLoopScope&) = delete;
        NestedEventLoopScope& operator=(const NestedEventLoopScope&) = delete;
    };
    static int nestedEventLoopDepth();

private:
    struct Group {
        std::vector<Action> actions;
        std::string actionName;
        std::uint64_t stateAfterRun = 0; // the change count once this step has been undone or redone
    };
    struct Observer {
        ObserverId id;
        Notification notification;
        std::function<void()> callback;
    };
    class EventGroupCloser;

    void openEventGroup();
    void closeOutermostGroup(Group group);
    void runStep(Group step, bool redoing);
    void notify(Notification notification);
    void eventMayHaveEnded();

    std::vector<Group> undoStack_;
    std::vector<Group> redoStack_;
    std::vector<Group> openGroups_; // outermost first
    Group* collecting_ = nullptr;   // the step being built while undoing or redoing
    int disableCount_ = 0;
    bool groupsByEvent_ = true;
    bool undoing_ = false;
    bool redoing_ = false;
    std::uint64_t changeCount_ = 0;
    std::uint64_t lastStamp_ = 0;
    std::vector<Observer> observers_;
    ObserverId nextObserverId_ = 1;
    std::unique_ptr<EventGroupCloser> closer_;
};

} // namespace platform
