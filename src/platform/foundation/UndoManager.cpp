#include "platform/foundation/UndoManager.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <cassert>
#include <utility>

namespace platform {

namespace {

int nestedLoopDepth = 0;

// The loop level plus the event-delivery depth, which Qt stamps on a deferred-delete event when it is
// posted (it needs both to know when control is back in the loop that asked for the deletion). Qt offers no
// other reading of the delivery depth; the probe event is taken back at once.
int stampedLevel(QObject& probe) {
    auto* event = new QDeferredDeleteEvent();
    QCoreApplication::postEvent(&probe, event);
    const int level = event->loopLevel();
    QCoreApplication::removePostedEvents(&probe, QEvent::DeferredDelete);
    return level;
}

// Whether the stamp counts the delivery depth: an event sent from inside another must read one deeper.
// Checked once; without it, groups close only by the queued check.
bool deliveryDepthIsReadable() {
    static const bool readable = [] {
        class Probe : public QObject {
        public:
            std::vector<int> levels;
            const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());

            bool event(QEvent* event) override {
                if (event->type() != type) {
                    return QObject::event(event);
                }
                levels.push_back(stampedLevel(*this));
                if (levels.size() == 1) {
                    QEvent inner(type);
                    QCoreApplication::sendEvent(this, &inner);
                }
                return true;
            }
        } probe;
        QEvent outer(probe.type);
        QCoreApplication::sendEvent(&probe, &outer);
        return probe.levels.size() == 2 && probe.levels[1] == probe.levels[0] + 1;
    }();
    return readable;
}

} // namespace

// Closes the group of an event once control is back in the outermost event loop, in one of two ways:
//
// - Before the next event the loop delivers at the group's level. An application event filter sees every
//   event before its receiver does; it closes the group when the event is not delivered from inside another
//   one (events sent while the opening event is handled belong to it) and no nested loop runs. This keeps
//   events that arrive together apart: the loop delivers everything already queued, and queued input, in
//   the same pass as the event that opened the group.
// - By a check posted when the group opens, for when no further event comes. When the check arrives inside
//   a nested loop (or while an explicit group is still open inside the event's group), the closer waits for
//   the event dispatcher to wake up or go idle in the outer loop, or for the last nested-loop scope to end,
//   and checks again then.
class UndoManager::EventGroupCloser : public QObject {
public:
    explicit EventGroupCloser(UndoManager& owner) : owner_(owner) { registry().push_back(this); }

    ~EventGroupCloser() override {
        std::erase(registry(), this);
        if (filtering_ && QCoreApplication::instance() != nullptr) {
            QCoreApplication::instance()->removeEventFilter(this);
        }
    }

    EventGroupCloser(const EventGroupCloser&) = delete;
    EventGroupCloser& operator=(const EventGroupCloser&) = delete;

    static std::vector<EventGroupCloser*>& registry() {
        static std::vector<EventGroupCloser*> closers;
        return closers;
    }

    bool isPending() const { return pending_; }

    void groupDidOpen() {
        QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr) {
            return; // no event loop: the group closes explicitly or when undo is asked for
        }
        pending_ = true;
        openLoopLevel_ = QThread::currentThread()->loopLevel();
        if (deliveryDepthIsReadable()) {
            // Opened inside an event the loop delivered (depth 1 or more): the next event at depth 1 is a
            // new one. Opened outside any delivery (depth 0: plain code, or an event handed to notify
            // directly), where events sent meanwhile arrive at depth 1: only the next event at depth 0 is.
            closingDepth_ = std::min(deliveryDepth(), 1);
            if (!filtering_) {
                // Installed once and kept: installing from inside another filter would disturb the
                // application's walk over its filters.
                filtering_ = true;
                app->installEventFilter(this);
            }
        }
        postCheck();
    }

    void postCheck() {
        QMetaObject::invokeMethod(
            this, [this] { check(); }, Qt::QueuedConnection);
    }

    bool eventFilter(QObject* watched, QEvent* /*event*/) override {
        // Our own check decides for itself; anything else delivered no deeper than the opening event's
        // level, and not inside a nested loop, is the next event.
        if (pending_ && watched != this && !mustWait() && deliveryDepth() <= closingDepth_) {
            close();
        }
        return false;
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

    int deliveryDepth() { return stampedLevel(depthProbe_) - QThread::currentThread()->loopLevel(); }

    void check() {
        if (!pending_) {
            return;
        }
        if (mustWait()) {
            watchDispatcher();
            return;
        }
        close();
    }

    void close() {
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
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { dispatcherPassed(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                         [this] { dispatcherPassed(); });
    }

    void stopWatching() {
        if (!watching_) {
            return;
        }
        watching_ = false;
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            QObject::disconnect(dispatcher, nullptr, this, nullptr);
        }
    }

    UndoManager& owner_;
    QObject depthProbe_;
    bool pending_ = false;
    bool watching_ = false;
    bool filtering_ = false;
    int openLoopLevel_ = 0;
    int closingDepth_ = 1;
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
