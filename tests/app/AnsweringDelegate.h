#pragma once

#include "app/TOVEditorViewControllerDelegate.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace apptest {

// Records each question and answers what the test set (by default what it was given, as Cancel does).
class AnsweringDelegate : public TOVEditorViewControllerDelegate {
public:
    std::vector<std::string> asked;
    std::optional<QString> volta;
    std::optional<std::uint64_t> times;
    std::optional<std::int64_t> speed;
    std::optional<std::int64_t> longRest;
    std::optional<TOVRepeatNumberStates> passes;
    int windowActive = 0;

    QString editorRequireNewVoltaOptionString(TOVEditorViewController*, const QString& s) override {
        asked.push_back(s.isNull() ? std::string("volta null") : "volta '" + s.toStdString() + "'");
        return volta.value_or(s);
    }
    std::uint64_t editorRequireNewRepeatTimesNumber(TOVEditorViewController*, std::uint64_t t) override {
        asked.push_back("times " + std::to_string(t));
        return times.value_or(t);
    }
    std::int64_t editorRequireNewSpeedNumber(TOVEditorViewController*, std::int64_t n) override {
        asked.push_back("speed " + std::to_string(n));
        return speed.value_or(n);
    }
    std::int64_t editorRequireNewLongRestNumber(TOVEditorViewController*, std::int64_t n) override {
        asked.push_back("long rest " + std::to_string(n));
        return longRest.value_or(n);
    }
    TOVRepeatNumberStates editorRequireNewDaCapoOptionIDNumber(TOVEditorViewController*,
                                                               const TOVRepeatNumberStates& s) override {
        std::string text = "passes ";
        for (int i = 0; i < 8; ++i) {
            text += std::to_string(s[i]);
        }
        asked.push_back(text);
        return passes.value_or(s);
    }
    void editorRequireWindowActive(TOVEditorViewController*, platform::View*) override { ++windowActive; }
};

} // namespace apptest
