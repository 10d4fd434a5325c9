#include "platform/foundation/UndoManager.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <cassert>
#include <utility>

namespace platform {

namespace {

int nestedLoopDepth = 0;

} // namespace

// Closes the group of an event once control is back in the outermost event loop. Opening the group posts
// a check; when the check arrives inside a nested loop (or while an explicit group is still open inside
// the event's group), the closer waits for the event dispatcher to wake up or go idle in the outer loop,
// or for the last nested-loop scope to end, and checks again then.
class UndoManager::EventGroupCloser {
public:
    explicit EventGroupCloser(UndoManager& owner) : owner_(owner) { registry().push_back(this); }

    ~EventGroupCloser() { std::erase(registry(), this); }

    static std::vector<EventGroupCloser*>& registry() {
        static std::vector<EventGroupCloser*> closers;
        return closers;
    }

    bool isPending() const { return pending_; }

    void groupDidOpen() {
        if (QCoreApplication::instance() == nullptr) {
            return; // no event loop: the group closes explicitly or when undo is asked for
        }
        pending_ = true;
        openLoopLevel_ = QThread::currentThread()->loopLevel();
        postCheck();
    }

    void postCheck() {
        QMetaObject::invokeMethod(
            &receiver_, [this] { check(); }, Qt::QueuedConnection);
    }

private:
    // The group may close only at the level of the loop it was opened in, and never deeper than the
    // outermost loop.
    bool mustWait() const {
        if (nestedLoopDepth > 0 || owner_.groupingLevel() > 1) {
            return true;
        }
        return QThread::currentThread()->loopLevel() > std::min(openLoopLevel_, 1);
    }

    void check() {
        if (!pending_) {
            return;
        }
        if (mustWait()) {
            watchDispatcher();
            return;
        }
        pending_ = false;
        stopWatching();
        owner_.eventMayHaveEnded();
    }

    // Called between passes of whatever loop runs. Posting only once the wait is over keeps an idle modal
    // loop idle: a post wakes the dispatcher, which would otherwise announce the next idle at once.
    void dispatcherPassed() {
        if (pending_ && !mustWait()) {
            stopWatching();
            postCheck();
        }
    }

    void watchDispatcher() {
        if (watching_) {
            return;
        }
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        if (dispatcher == nullptr) {
            return;
        }
        watching_ = true;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &receiver_,
                         [this] { dispatcherPassed(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &receiver_,
                         [this] { dispatcherPassed(); });
    }

    void stopWatching() {
        if (!watching_) {
            return;
        }
        watching_ = false;
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            QObject::disconnect(dispatcher, nullptr, &receiver_, nullptr);
        }
    }

    UndoManager& owner_;
    QObject receiver_; // posted checks and connections die with it
    bool pending_ = false;
    bool watching_ = false;
    int openLoopLevel_ = 0;
};

UndoManager::NestedEventLoopScope::NestedEventLoopScope() {
    ++nestedLoopDepth;
}

UndoManager::NestedEventLoopScope::~NestedEventLoopScope() {
    --nestedLoopDepth;
    if (nestedLoopDepth == 0) {
        // Posted now, before anything the modal's caller posts once the loop has returned.
        for (EventGroupCloser* closer : EventGroupCloser::registry()) {
            if (closer->isPending()) {
                closer->postCheck();
            }
        }
    }
}

int UndoManager::nestedEventLoopDepth() {
    return nestedLoopDepth;
}

UndoManager::UndoManager() : closer_(std::make_unique<EventGroupCloser>(*this)) {}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(Action action) {
    if (!action || disableCount_ > 0) {
        return;
    }
    if (collecting_ != nullptr) {
        collecting_->actions.push_back(std::move(action));
        return;
    }
    if (openGroups_.empty()) {
        if (groupsByEvent_) {
            openEventGroup();
        } else {
            assert(false && "undo registration without an open group while not grouping by event");
            // A release build keeps the action as a step of its own rather than losing it.
            openGroups_.emplace_back();
            openGroups_.back().actions.push_back(std::move(action));
            redoStack_.clear();
            endUndoGrouping();
            return;
        }
    }
    redoStack_.clear();
    openGroups_.back().actions.push_back(std::move(action));
}

void UndoManager::disableUndoRegistration() {
    ++disableCount_;
}

void UndoManager::enableUndoRegistration() {
    assert(disableCount_ > 0 && "enableUndoRegistration without a matching disable");
    if (disableCount_ > 0) {
        --disableCount_;
    }
}

void UndoManager::setGroupsByEvent(bool groupsByEvent) {
    groupsByEvent_ = groupsByEvent;
}

void UndoManager::openEventGroup() {
    openGroups_.emplace_back();
    closer_->groupDidOpen();
}

void UndoManager::beginUndoGrouping() {
    assert(!undoing_ && !redoing_ && "undo grouping while undoing or redoing");
    if (undoing_ || redoing_) {
        return;
    }
    openGroups_.emplace_back();
    if (openGroups_.size() == 1 && groupsByEvent_) {
        closer_->groupDidOpen(); // closes it at the end of the event if it is left open
    }
}

void UndoManager::endUndoGrouping() {
    assert(!openGroups_.empty() && "endUndoGrouping without an open group");
    if (openGroups_.empty()) {
        return;
    }
    Group group = std::move(openGroups_.back());
    openGroups_.pop_back();
    if (openGroups_.empty()) {
        closeOutermostGroup(std::move(group));
        return;
    }
    Group& parent = openGroups_.back();
    parent.actions.insert(parent.actions.end(), std::make_move_iterator(group.actions.begin()),
                          std::make_move_iterator(group.actions.end()));
}

void UndoManager::closeOutermostGroup(Group group) {
    if (group.actions.empty()) {
        return;
    }
    group.stateAfterRun = changeCount_;
    changeCount_ = ++lastStamp_;
    undoStack_.push_back(std::move(group));
    notify(Notification::ChangeCountDidChange);
}

void UndoManager::eventMayHaveEnded() {
    if (groupsByEvent_ && !undoing_ && !redoing_ && openGroups_.size() == 1) {
        endUndoGrouping();
    }
}

bool UndoManager::canUndo() const {
    if (undoing_ || redoing_ || openGroups_.size() > 1) {
        return false;
    }
    return !undoStack_.empty() || (openGroups_.size() == 1 && !openGroups_.front().actions.empty());
}

bool UndoManager::canRedo() const {
    return !undoing_ && !redoing_ && openGroups_.size() <= 1 && !redoStack_.empty();
}

void UndoManager::undo() {
    assert(!undoing_ && !redoing_ && "undo while undoing or redoing");
    if (undoing_ || redoing_) {
        return;
    }
    if (openGroups_.size() == 1) {
        endUndoGrouping();
    }
    assert(openGroups_.empty() && "undo with nested undo groups open");
    if (!openGroups_.empty() || undoStack_.empty()) {
        return;
    }
    Group step = std::move(undoStack_.back());
    undoStack_.pop_back();
    runStep(std::move(step), false);
}

void UndoManager::redo() {
    assert(!undoing_ && !redoing_ && "redo while undoing or redoing");
    if (undoing_ || redoing_) {
        return;
    }
    if (openGroups_.size() == 1) {
        endUndoGrouping();
    }
    assert(openGroups_.empty() && "redo with nested undo groups open");
    if (!openGroups_.empty() || redoStack_.empty()) {
        return;
    }
    Group step = std::move(redoStack_.back());
    redoStack_.pop_back();
    runStep(std::move(step), true);
}

void UndoManager::runStep(Group step, bool redoing) {
    Group opposite;
    opposite.actionName = step.actionName;
    bool& flag = redoing ? redoing_ : undoing_;
    flag = true;
    collecting_ = &opposite;
    notify(redoing ? Notification::WillRedo : Notification::WillUndo);
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it) {
        (*it)();
    }
    notify(redoing ? Notification::DidRedo : Notification::DidUndo);
    collecting_ = nullptr;
    flag = false;

    const std::uint64_t before = changeCount_;
    changeCount_ = step.stateAfterRun;
    opposite.stateAfterRun = before;
    if (!opposite.actions.empty()) {
        (redoing ? undoStack_ : redoStack_).push_back(std::move(opposite));
    }
    if (changeCount_ != before) {
        notify(Notification::ChangeCountDidChange);
    }
}

void UndoManager::removeAllActions() {
    assert(!undoing_ && !redoing_ && "removeAllActions while undoing or redoing");
    undoStack_.clear();
    redoStack_.clear();
    for (Group& group : openGroups_) {
        group.actions.clear();
    }
}

void UndoManager::setActionName(const std::string& name) {
    if (!openGroups_.empty()) {
        openGroups_.front().actionName = name;
    } else if (collecting_ != nullptr) {
        collecting_->actionName = name;
    } else if (!undoStack_.empty()) {
        undoStack_.back().actionName = name;
    }
}

std::string UndoManager::undoActionName() const {
    if (openGroups_.size() == 1 && !openGroups_.front().actions.empty()) {
        return openGroups_.front().actionName;
    }
    return undoStack_.empty() ? std::string() : undoStack_.back().actionName;
}

std::string UndoManager::redoActionName() const {
    return redoStack_.empty() ? std::string() : redoStack_.back().actionName;
}

UndoManager::ObserverId UndoManager::addObserver(Notification notification, std::function<void()> callback) {
    const ObserverId id = nextObserverId_++;
    observers_.push_back({id, notification, std::move(callback)});
    return id;
}

void UndoManager::removeObserver(ObserverId id) {
    std::erase_if(observers_, [id](const Observer& o) { return o.id == id; });
}

void UndoManager::notify(Notification notification) {
    // Observers may add or remove observers while they are called: walk a list of ids and call each one
    // that is still there through a copy of its callback.
    std::vector<ObserverId> ids;
    for (const Observer& o : observers_) {
        if (o.notification == notification) {
            ids.push_back(o.id);
        }
    }
    for (ObserverId id : ids) {
        auto it = std::find_if(observers_.begin(), observers_.end(),
                               [id](const Observer& o) { return o.id == id; });
        if (it != observers_.end()) {
            std::function<void()> callback = it->callback;
            callback();
        }
    }
}

} // namespace platform
