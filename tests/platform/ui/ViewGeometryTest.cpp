#include "RecordingView.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using platform::Point;
using platform::Rect;
using platform::Size;
using platform::View;
using uitest::addTo;

namespace {

class PassThroughView : public View {
public:
    using View::View;
    View* hitTest(Point) override { return nullptr; }
};

// root 400 x 300 at (0, 0) in the host
//   parent: frame (50, 40, 200, 100), its coordinates scaled by 2 (bounds 100 x 50)
//     child: frame (20, 10, 30, 10) in the parent, turned by 90 degrees about its origin
//       grandchild: frame (5, 2, 10, 4) in the child
//   below: frame (200, 150, 100, 100)
//   glass: frame (200, 150, 100, 100) above `below`, lets every click through
//   scrolled: frame (0, 200, 100, 100), bounds origin (1000, 2000)
//   stretched: frame (300, 0, 80, 80), its coordinates scaled by 4 across and 0.5 down (bounds 20 x 160)
struct Tree {
    std::shared_ptr<View> root = std::make_shared<View>(Rect(0, 0, 400, 300));
    std::shared_ptr<View> parent = addTo<View>(*root, Rect(50, 40, 200, 100));
    std::shared_ptr<View> child = addTo<View>(*parent, Rect(20, 10, 30, 10));
    std::shared_ptr<View> grandchild = addTo<View>(*child, Rect(5, 2, 10, 4));
    std::shared_ptr<View> below = addTo<View>(*root, Rect(200, 150, 100, 100));
    std::shared_ptr<View> glass = addTo<PassThroughView>(*root, Rect(200, 150, 100, 100));
    std::shared_ptr<View> scrolled = addTo<View>(*root, Rect(0, 200, 100, 100));
    std::shared_ptr<View> stretched = addTo<View>(*root, Rect(300, 0, 80, 80));

    Tree() {
        stretched->scaleUnitSquareToSize(Size{4, 0.5});
        parent->scaleUnitSquareToSize(Size{2, 2});
        child->setFrameRotation(90);
        scrolled->setBoundsOrigin(Point{1000, 2000});
    }

    View* byName(const std::string& name) const {
        const std::map<std::string, View*> views = {{"host", nullptr},
                                                    {"root", root.get()},
                                                    {"parent", parent.get()},
                                                    {"child", child.get()},
                                                    {"grandchild", grandchild.get()},
                                                    {"below", below.get()},
                                                    {"glass", glass.get()},
                                                    {"scrolled", scrolled.get()},
                                                    {"stretched", stretched.get()}};
        return views.at(name);
    }
    std::string nameOf(const View* v) const {
        for (const char* n :
             {"root", "parent", "child", "grandchild", "below", "glass", "scrolled", "stretched"}) {
            if (byName(n) == v) {
                return n;
            }
        }
        return v == nullptr ? "none" : "?";
    }
};

TEST(ViewGeometry, BoundsFollowTheScale) {
    Tree t;
    EXPECT_EQ(t.parent->bounds(), Rect(0, 0, 100, 50));
    EXPECT_EQ(t.parent->frame(), Rect(50, 40, 200, 100));
    // A new frame size keeps the scale.
    t.parent->setFrameSize(Size{300, 100});
    EXPECT_EQ(t.parent->bounds(), Rect(0, 0, 150, 50));
    EXPECT_EQ(t.parent->boundsScale(), (Size{2, 2}));
    // A second scaling multiplies; it divides the bounds origin as well.
    t.scrolled->scaleUnitSquareToSize(Size{4, 0.5});
    EXPECT_EQ(t.scrolled->bounds(), Rect(250, 4000, 25, 200));
    // Useless factors change nothing.
    t.scrolled->scaleUnitSquareToSize(Size{0, 1});
    t.scrolled->setBoundsSize(Size{-1, 10});
    EXPECT_EQ(t.scrolled->bounds(), Rect(250, 4000, 25, 200));
    t.scrolled->setBoundsSize(Size{50, 50});
    EXPECT_EQ(t.scrolled->boundsScale(), (Size{2, 2}));
}

struct ConversionCase {
    const char* from;
    const char* to;
    Point point;
    Point expected;
};

TEST(ViewGeometry, PointConversionTable) {
    const ConversionCase cases[] = {
        // The scaled parent: twice the length, from its frame origin.
        {"parent", "root", {0, 0}, {50, 40}},
        {"parent", "root", {10, 5}, {70, 50}},
        {"root", "parent", {250, 140}, {100, 50}},
        // The turned child: its x axis runs down the parent, its y axis to the parent's left.
        {"child", "parent", {0, 0}, {20, 10}},
        {"child", "parent", {30, 0}, {20, 40}},
        {"child", "parent", {0, 10}, {10, 10}},
        {"child", "root", {30, 10}, {70, 120}},
        {"child", "host", {15, 5}, {80, 90}},
        {"host", "child", {80, 90}, {15, 5}},
        {"grandchild", "root", {0, 0}, {86, 70}},
        {"root", "grandchild", {86, 70}, {0, 0}},
        // Between branches of the tree.
        {"grandchild", "below", {0, 0}, {-114, -80}},
        {"below", "child", {-120, -60}, {15, 5}},
        // A bounds origin moves the content.
        {"scrolled", "root", {1000, 2000}, {0, 200}},
        {"scrolled", "child", {1080, 1890}, {15, 5}},
        {"child", "child", {3, 4}, {3, 4}},
        // Scales that differ across and down must not be mixed up between the axes.
        {"stretched", "root", {10, 20}, {340, 10}},
        {"root", "stretched", {340, 10}, {10, 20}},
        {"stretched", "parent", {10, 20}, {145, -15}},
        {"parent", "stretched", {145, -15}, {10, 20}},
        {"stretched", "child", {5, 120}, {0, -115}},
    };
    Tree t;
    for (const auto& c : cases) {
        const View* from = t.byName(c.from);
        const View* to = t.byName(c.to);
        Point got;
        if (from != nullptr) {
            got = from->convertPointToView(c.point, to);
        } else {
            got = to->convertPointFromView(c.point, nullptr);
        }
        EXPECT_NEAR(got.x, c.expected.x, 1e-9) << c.from << " -> " << c.to;
        EXPECT_NEAR(got.y, c.expected.y, 1e-9) << c.from << " -> " << c.to;
        // The same conversion asked of the other end.
        if (to != nullptr) {
            const Point back = to->convertPointFromView(c.point, from);
            EXPECT_NEAR(back.x, c.expected.x, 1e-9) << c.to << " <- " << c.from;
            EXPECT_NEAR(back.y, c.expected.y, 1e-9) << c.to << " <- " << c.from;
        }
    }
}

TEST(ViewGeometry, RectAndSizeConversion) {
    Tree t;
    // A turned rectangle converts to the rectangle around its corners.
    EXPECT_EQ(t.child->convertRectToView(t.child->bounds(), t.root.get()), Rect(70, 60, 20, 60));
    EXPECT_EQ(t.root->convertRectToView(Rect(70, 60, 20, 60), t.child.get()), Rect(0, 0, 30, 10));
    EXPECT_EQ(t.child->convertRectFromView(Rect(70, 60, 20, 60), nullptr), Rect(0, 0, 30, 10));
    // A turn by 45 degrees: the box of a unit square's corners.
    t.grandchild->setFrameRotation(45);
    const Rect r = t.grandchild->convertRectToView(Rect(0, 0, 1, 1), t.child.get());
    EXPECT_NEAR(r.width(), std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(r.height(), std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(r.x(), 5 - std::sqrt(0.5), 1e-9);
    // Sizes: lengths along the axes.
    EXPECT_EQ(t.child->convertSizeToView(Size{1, 1}, nullptr), (Size{2, 2}));
    EXPECT_EQ(t.parent->convertSizeFromView(Size{1, 1}, nullptr), (Size{0.5, 0.5}));
    EXPECT_EQ(t.child->convertSizeToView(Size{3, 1}, t.parent.get()), (Size{3, 1}));
}

TEST(ViewGeometry, HitTestTable) {
    struct Case {
        Point hostPoint;
        const char* expected;
    };
    const Case cases[] = {
        {{80, 90}, "child"},      {{60, 90}, "parent"},     // left of the turned child
        {{80, 125}, "parent"},                              // below it
        {{82, 80}, "grandchild"}, {{86, 70}, "grandchild"}, // the grandchild's origin
        {{90, 60}, "child"},                                // the child's origin: inside
        {{70, 90}, "parent"},                               // the child's far edge (its y = 10): outside
        {{249, 139}, "parent"},   {{249, 140}, "root"},     // the parent's bottom edge is outside
        {{250, 200}, "below"},                              // through the glass
        {{50, 250}, "scrolled"},  {{399, 299}, "root"},     {{400, 100}, "none"}, {{-1, 10}, "none"},
    };
    Tree t;
    for (const auto& c : cases) {
        EXPECT_EQ(t.nameOf(t.root->hitTest(c.hostPoint)), c.expected)
            << c.hostPoint.x << "," << c.hostPoint.y;
    }
}

TEST(ViewGeometry, HitTestOfAScaledRootInAHost) {
    // Zoom: the root's frame in the host is twice its bounds.
    auto root = std::make_shared<View>(Rect(0, 0, 100, 100));
    auto a = addTo<View>(*root, Rect(10, 10, 5, 5));
    root->scaleUnitSquareToSize(Size{2, 2});
    root->setFrameSize(Size{200, 200});
    platform::ViewHost host;
    host.setRootView(root);
    EXPECT_EQ(host.size(), QSize(200, 200));
    EXPECT_EQ(root->hitTest(Point{22, 22}), a.get());
    EXPECT_EQ(root->hitTest(Point{12, 12}), root.get());
    EXPECT_EQ(root->bounds(), Rect(0, 0, 100, 100));
}

TEST(ViewTree, AddMoveRemoveAndSort) {
    auto root = std::make_shared<View>(Rect(0, 0, 100, 100));
    auto a = addTo<View>(*root, Rect(0, 0, 10, 10));
    auto b = addTo<View>(*root, Rect(0, 0, 10, 10));
    auto c = addTo<View>(*a, Rect(0, 0, 1, 1));
    a->setTag(1);
    b->setTag(2);
    c->setTag(3);
    EXPECT_EQ(root->viewWithTag(3), c.get());
    EXPECT_EQ(root->viewWithTag(7), nullptr);

    // Moving a view to another superview takes it out of the old one.
    b->addSubview(c);
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_EQ(c->superview(), b.get());
    // No cycles.
    c->addSubview(root);
    c->addSubview(b);
    b->addSubview(b);
    EXPECT_EQ(root->superview(), nullptr);
    EXPECT_EQ(b->superview(), root.get());
    EXPECT_TRUE(c->subviews().empty());
    // Adding a subview again brings it to the top.
    root->addSubview(a);
    ASSERT_EQ(root->subviews().size(), 2u);
    EXPECT_EQ(root->subviews().back(), a);

    // Sorting is stable.
    auto d = addTo<View>(*root, Rect());
    auto e = addTo<View>(*root, Rect());
    d->setTag(0);
    e->setTag(0);
    root->sortSubviews([](const View& x, const View& y) { return x.tag() < y.tag(); });
    std::vector<View*> order;
    for (const auto& v : root->subviews()) {
        order.push_back(v.get());
    }
    EXPECT_EQ(order, (std::vector<View*>{d.get(), e.get(), a.get(), b.get()}));

    // The superview owns its subviews; a removed view lives on only where it is shared.
    std::weak_ptr<View> weakC = c;
    c.reset();
    EXPECT_FALSE(weakC.expired());
    weakC.lock()->removeFromSuperview();
    EXPECT_TRUE(weakC.expired());

    // A destroyed superview lets go of the subviews that others share.
    auto f = addTo<View>(*d, Rect());
    d->removeFromSuperview();
    d.reset();
    EXPECT_EQ(f->superview(), nullptr);
}

// Views that override one of the frame setters, as the bar view overrides setFrame to lay out its
// subviews and an octave line overrides setFrameSize to keep its glyph on its bottom edge.
enum class Hook { Frame, Origin, Size };

class FrameHookView : public View {
public:
    FrameHookView(Hook hook) : View(Rect(10, 10, 100, 50)), hook_(hook) {}
    std::vector<std::string> ran;
    void setFrame(const Rect& frame) override {
        note(Hook::Frame, "setFrame");
        View::setFrame(frame);
    }
    void setFrameOrigin(Point origin) override {
        note(Hook::Origin, "setFrameOrigin");
        View::setFrameOrigin(origin);
    }
    void setFrameSize(Size size) override {
        note(Hook::Size, "setFrameSize");
        View::setFrameSize(size);
    }

private:
    void note(Hook hook, const char* name) {
        if (hook == hook_) {
            ran.push_back(name);
        }
    }
    Hook hook_;
};

TEST(ViewGeometry, FrameSettersCallOneAnotherInOneDirection) {
    struct Call {
        const char* name;
        std::function<void(View&)> call;
        Rect frame;
    };
    const Call calls[] = {
        {"setFrame moving and resizing", [](View& v) { v.setFrame(Rect(20, 30, 60, 40)); },
         Rect(20, 30, 60, 40)},
        {"setFrame moving", [](View& v) { v.setFrame(Rect(20, 30, 100, 50)); }, Rect(20, 30, 100, 50)},
        {"setFrame resizing", [](View& v) { v.setFrame(Rect(10, 10, 60, 40)); }, Rect(10, 10, 60, 40)},
        {"setFrameOrigin",
         [](View& v) {
             v.setFrameOrigin(Point{20, 30});
         },
         Rect(20, 30, 100, 50)},
        {"setFrameSize",
         [](View& v) {
             v.setFrameSize(Size{60, 40});
         },
         Rect(10, 10, 60, 40)},
    };
    struct Case {
        Hook overridden;
        // What the override saw, for each call in the order above.
        std::vector<std::vector<std::string>> ran;
    };
    const Case cases[] = {
        {Hook::Frame, {{"setFrame"}, {"setFrame"}, {"setFrame"}, {}, {}}},
        {Hook::Origin, {{"setFrameOrigin"}, {"setFrameOrigin"}, {}, {"setFrameOrigin"}, {}}},
        {Hook::Size, {{"setFrameSize"}, {}, {"setFrameSize"}, {}, {"setFrameSize"}}},
    };
    for (const auto& c : cases) {
        for (size_t i = 0; i < std::size(calls); ++i) {
            auto root = std::make_shared<View>(Rect(0, 0, 400, 300));
            platform::ViewHost host;
            host.setRootView(root);
            auto v = addTo<FrameHookView>(*root, c.overridden);
            calls[i].call(*v);
            EXPECT_EQ(v->ran, c.ran[i]) << calls[i].name;
            EXPECT_EQ(v->frame(), calls[i].frame) << calls[i].name;
        }
    }
}

} // namespace
