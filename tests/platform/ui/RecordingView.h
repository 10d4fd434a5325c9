#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace uitest {

// A view that writes what reaches it into a shared log as "<name>.<what>" and, unless told to pass events
// on, handles them itself.
class RecordingView : public platform::View {
public:
    RecordingView(std::string name, const platform::Rect& frame, std::vector<std::string>* log,
                  bool passEventsOn = false)
        : platform::View(frame), name_(std::move(name)), log_(log), passOn_(passEventsOn) {}

    const std::string& name() const { return name_; }
    std::vector<platform::Event> events;

    void mouseDown(const platform::Event& e) override {
        if (note("mouseDown", e)) {
            View::mouseDown(e);
        }
    }
    void mouseDragged(const platform::Event& e) override {
        if (note("mouseDragged", e)) {
            View::mouseDragged(e);
        }
    }
    void mouseUp(const platform::Event& e) override {
        if (note("mouseUp", e)) {
            View::mouseUp(e);
        }
    }
    void rightMouseDown(const platform::Event& e) override {
        if (note("rightMouseDown", e)) {
            View::rightMouseDown(e);
        }
    }
    void rightMouseDragged(const platform::Event& e) override {
        if (note("rightMouseDragged", e)) {
            View::rightMouseDragged(e);
        }
    }
    void rightMouseUp(const platform::Event& e) override {
        if (note("rightMouseUp", e)) {
            View::rightMouseUp(e);
        }
    }
    void keyDown(const platform::Event& e) override {
        if (note("keyDown", e)) {
            View::keyDown(e);
        }
    }
    void keyUp(const platform::Event& e) override {
        if (note("keyUp", e)) {
            View::keyUp(e);
        }
    }

    void log(const std::string& what) {
        if (log_ != nullptr) {
            log_->push_back(name_ + "." + what);
        }
    }

private:
    // Whether the event goes on to the superview.
    bool note(const char* what, const platform::Event& e) {
        log(what);
        events.push_back(e);
        return passOn_;
    }

    std::string name_;
    std::vector<std::string>* log_;
    bool passOn_;
};

template <class T, class... Args>
std::shared_ptr<T> addTo(platform::View& parent, Args&&... args) {
    auto v = std::make_shared<T>(std::forward<Args>(args)...);
    parent.addSubview(v);
    return v;
}

} // namespace uitest
