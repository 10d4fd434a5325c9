#include "input/TOVChordPreviewView.h"

#include "glyphs/TOVChordViewFactory.h"
#include "input/TOVChordGlyphs.h"
#include "model/TOVChordUtils.h"
#include "platform/graphics/QPainterGraphicsContext.h"

#include <QPainter>

TOVChordPreviewView::TOVChordPreviewView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TOVChordPreviewView::setChord(const TOVChordElems& chord) {
    if (chord == chord_) {
        return;
    }
    chord_ = chord;
    createPath();
    update();
}

void TOVChordPreviewView::setMarginWithObjectView(double margin) {
    if (margin == margin_) {
        return;
    }
    margin_ = margin;
    refresh();
}

void TOVChordPreviewView::refresh() {
    createPath();
    update();
}

void TOVChordPreviewView::createPath() {
    typesetPath_.reset();
    const TOVChordViewFactory* factory = TOVChordGlyphs::factory();
    if (chord_ != TOVChordUtils::zeroChord() && factory != nullptr) {
        ++typesetCount_;
        typesetPath_ = factory->bezierPathFromChordFontID(chord_, TOVChordGlyphs::FontID);
    }
    fitPath();
}

void TOVChordPreviewView::fitPath() {
    bezierPath_ = typesetPath_;
    const platform::Size size{double(width()), double(height())};
    // Without extent, or without room inside the margins, only the ground shows.
    if (bezierPath_ && !TOVChordGlyphs::fittingScale(*bezierPath_, size, margin_, MaxScale)) {
        bezierPath_.reset();
    }
    if (bezierPath_) {
        TOVChordGlyphs::fitAndCentre(*bezierPath_, size, margin_, MaxScale);
    }
}

void TOVChordPreviewView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitPath();
}

void TOVChordPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::QPainterGraphicsContext context(painter);
    context.setFillColor(platform::Color::highlight());
    context.fillRect(platform::Rect(0, 0, width(), height()));
    TOVChordGlyphs::fill(context, bezierPath_);
}
