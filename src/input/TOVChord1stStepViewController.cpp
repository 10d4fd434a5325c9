#include "input/TOVChord1stStepViewController.h"

#include "glyphs/TOVChordViewFactory.h"
#include "input/TOVChordGlyphs.h"
#include "input/TOVChordViewDelegate.h"
#include "platform/graphics/QPainterGraphicsContext.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr bool isBlackKey(int value) {
    switch (value) {
    case 0:
    case 3:
    case 6:
    case 7:
    case 10:
    case 13:
    case 16:
        return false;
    default:
        return true;
    }
}

// White keys stand in a row under the black ones; the two spellings of a black note stand side by side
// over the gap between the white keys they lie between.
constexpr double WhiteWidth = 72;
constexpr double WhiteHeight = 96;
constexpr double BlackWidth = 32;
constexpr double BlackHeight = 60;
constexpr double Gap = 2;
constexpr double BlackRowHeight = BlackHeight + 6;

// The white key's position in the row, or for a black key the gap after that white key.
constexpr int rowPosition(int value) {
    constexpr int positions[TOVChord1stStepViewController::KeyCount] = {0, 0, 0, 1, 1, 1, 2, 3, 3,
                                                                        3, 4, 4, 4, 5, 5, 5, 6};
    return positions[value];
}

QRect keyFrame(int value) {
    const int position = rowPosition(value);
    if (!isBlackKey(value)) {
        return QRect(static_cast<int>(position * (WhiteWidth + Gap)), static_cast<int>(BlackRowHeight),
                     static_cast<int>(WhiteWidth), static_cast<int>(WhiteHeight));
    }
    // The sharp spelling (odd distance from its white key) stands left of the gap, the flat one right.
    const bool sharp = value == 1 || value == 4 || value == 8 || value == 11 || value == 14;
    const double gapCentre = (position + 1) * (WhiteWidth + Gap) - Gap / 2;
    const double x = sharp ? gapCentre - BlackWidth - 1 : gapCentre + 1;
    return QRect(static_cast<int>(x), 0, static_cast<int>(BlackWidth), static_cast<int>(BlackHeight));
}

double glyphScale(int value) {
    if (value < 0 || value > 16) {
        return 1.0;
    }
    return isBlackKey(value) ? 1.0 : 1.5;
}

} // namespace

// --- Key ---

TOVChord1stStepElemView::TOVChord1stStepElemView(int tag, QWidget* parent) : QWidget(parent), tag_(tag) {
    setFocusPolicy(Qt::NoFocus);
}

void TOVChord1stStepElemView::createPath() {
    bezierPath_.reset();
    const TOVChordViewFactory* factory = TOVChordGlyphs::factory();
    if (factory == nullptr) {
        return;
    }
    bezierPath_ = factory->bezierPathForStep1FontID(tag_, TOVChordGlyphs::FontID);
    if (bezierPath_) {
        TOVChordGlyphs::scaleAndCentre(*bezierPath_, glyphScale(tag_), {double(width()), double(height())});
    }
}

void TOVChord1stStepElemView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::QPainterGraphicsContext context(painter);
    const platform::Rect area(0, 0, width(), height());
    platform::Color ground = platform::Color::highlight();
    platform::Color glyph = platform::Color::black();
    if (selected_) {
        ground = platform::Color::cellSelectedFill();
    } else if (black_) {
        ground = platform::Color::black();
        glyph = platform::Color::highlight();
    }
    context.setFillColor(ground);
    context.fillRect(area);
    context.setFillColor(platform::Color::controlShadow());
    context.frameRect(area, 1.0);
    TOVChordGlyphs::fill(context, bezierPath_, glyph);
}

void TOVChord1stStepElemView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF at = event->position();
    const int count = clicks_.countPress(event->button(), {at.x(), at.y()}, event->timestamp());
    if (delegate_ == nullptr) {
        return;
    }
    if (count == 1) {
        delegate_->elemViewSelected(this);
    } else if (count == 2) {
        delegate_->doubleClicked(this);
    }
}

void TOVChord1stStepElemView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press that Qt replaced with this event.
    mousePressEvent(event);
}

// --- Keyboard ---

TOVChord1stStepViewController::TOVChord1stStepViewController() {
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("TOVChord1stStepViewController"));
    const QRect last = keyFrame(16);
    view_->setFixedSize(last.right() + 1, last.bottom() + 1);
    // White keys first, so that the black keys stand over them.
    for (const bool black : {false, true}) {
        for (int value = 0; value < KeyCount; ++value) {
            if (isBlackKey(value) != black) {
                continue;
            }
            auto* key = new TOVChord1stStepElemView(value, view_);
            key->setObjectName(QStringLiteral("key%1").arg(value));
            key->setGeometry(keyFrame(value));
            key->setBlack(black);
            key->setDelegateChord(this);
            key->createPath();
            keys_[static_cast<std::size_t>(value)] = key;
        }
    }
}

TOVChord1stStepViewController::~TOVChord1stStepViewController() {
    for (const QPointer<TOVChord1stStepElemView>& key : keys_) {
        if (key != nullptr) {
            key->setDelegateChord(nullptr);
        }
    }
    delete view_;
}

TOVChord1stStepElemView* TOVChord1stStepViewController::keyView(int value) const {
    if (value < 0 || value >= KeyCount) {
        return nullptr;
    }
    return keys_[static_cast<std::size_t>(value)];
}

int TOVChord1stStepViewController::elemType() const {
    return selectedView_ != nullptr ? selectedView_->tag() : None;
}

void TOVChord1stStepViewController::choose(TOVChord1stStepElemView* key) {
    if (selectedView_ != nullptr) {
        selectedView_->setSelected(false);
    }
    selectedView_ = key;
    if (key != nullptr) {
        key->setSelected(true);
    }
}

void TOVChord1stStepViewController::setElemType(int value) {
    choose(keyView(value));
    view_->update();
}

void TOVChord1stStepViewController::clearSelection() {
    choose(nullptr);
    view_->update();
}

void TOVChord1stStepViewController::elemViewSelected(TOVChord1stStepElemView* key) {
    choose(key);
    if (chordDelegate_ != nullptr) {
        chordDelegate_->selectionChanged(this, key->tag());
    }
    view_->update();
}

void TOVChord1stStepViewController::doubleClicked(TOVChord1stStepElemView*) {
    if (chordDelegate_ != nullptr) {
        chordDelegate_->doubleClicked(this);
    }
}
