#pragma once

// A skeleton application for the shell tests: a document type whose content is a line of text, a
// document window with a menu bar and a view host, and a delegate that records the launch hooks.

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"

#include <memory>
#include <string>
#include <vector>

namespace shelltest {

// Three A4 pages, one above the other, each with a filled square.
class PagedView : public platform::View {
public:
    PagedView() : View(platform::Rect(0, 0, 595, 842 * 3)) {}
    bool knowsPageRange(long& first, long& count) override {
        first = 1;
        count = 3;
        return true;
    }
    platform::Rect rectForPage(long page) override { return platform::Rect(0, 842.0 * (page - 1), 595, 842); }
    void drawRect(const platform::Rect&, platform::GraphicsContext&) override {}
};

class TextDocument : public platform::Document {
public:
    std::string text;
    std::shared_ptr<platform::View> root = std::make_shared<PagedView>();
    platform::ViewHost* host = nullptr;

    bool readFromData(const std::vector<std::uint8_t>& data, const std::string&,
                      std::string* error) override {
        if (!data.empty() && data.front() == '!') {
            if (error != nullptr) {
                *error = "bad content";
            }
            return false;
        }
        text.assign(data.begin(), data.end());
        return true;
    }
    std::optional<std::vector<std::uint8_t>> dataOfType(const std::string&, std::string*) override {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }
    void makeWindowControllers() override {
        auto window = std::make_unique<platform::Window>();
        host = new platform::ViewHost;
        host->setRootView(root);
        host->setFocusPolicy(Qt::StrongFocus);
        window->setCentralWidget(host);
        window->resize(300, 200);
        if (platform::Application::shared() != nullptr) {
            window->setMenuModel(platform::Application::shared()->mainMenu());
        }
        addWindowController(std::make_unique<platform::WindowController>(std::move(window)));
    }
    platform::View* viewForPrinting() override { return root.get(); }

    // An edit that undo takes back.
    void append(const std::string& more) {
        setText(text + more);
        undoManager().setActionName("Typing");
    }
    void setText(const std::string& value) {
        const std::string before = text;
        text = value;
        undoManager().registerUndo([this, before] { setText(before); });
    }
    platform::Window* window() const { return windowForSheet(); }
};

class RecordingDelegate : public platform::ApplicationDelegate {
public:
    std::vector<std::string> calls;
    bool openUntitled = false;
    void applicationWillFinishLaunching() override { calls.push_back("will"); }
    void applicationDidFinishLaunching() override { calls.push_back("did"); }
    bool applicationShouldOpenUntitledFile() override {
        calls.push_back("untitled?");
        return openUntitled;
    }
    bool applicationShouldHandleReopen(bool visible) override {
        calls.push_back(visible ? "reopen visible" : "reopen none visible");
        return true;
    }
};

inline platform::DocumentType textDocumentType() {
    return {"Text Document", {"txz"}, {"txr"}, [] { return std::make_shared<TextDocument>(); }};
}

// File (New, Open, Save, Save As, Print, Close) and Edit (Undo, Redo) with their key equivalents.
inline std::shared_ptr<platform::Menu> makeMainMenu() {
    using platform::MenuItem;
    auto root = std::make_shared<platform::Menu>("Main");
    auto file = root->addSubmenu("File");
    file->addItem(std::make_shared<MenuItem>("New", "newDocument:", "Cmd+N"));
    file->addItem(std::make_shared<MenuItem>("Open…", "openDocument:", "Cmd+O"));
    file->addItem(MenuItem::separatorItem());
    file->addItem(std::make_shared<MenuItem>("Close", "performClose:", "Cmd+W"));
    file->addItem(std::make_shared<MenuItem>("Save", "saveDocument:", "Cmd+S"));
    file->addItem(std::make_shared<MenuItem>("Save As…", "saveDocumentAs:", "Cmd+Shift+S"));
    file->addItem(std::make_shared<MenuItem>("Print…", "printDocument:", "Cmd+P"));
    auto edit = root->addSubmenu("Edit");
    edit->addItem(std::make_shared<MenuItem>("Undo", "undo:", "Cmd+Z"));
    edit->addItem(std::make_shared<MenuItem>("Redo", "redo:", "Cmd+Shift+Z"));
    return root;
}

} // namespace shelltest
