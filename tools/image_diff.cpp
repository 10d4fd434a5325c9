// tovrin_image_diff: compares two renderings of a page. Prints "CHANGED MARKED" (pixels whose grey differs
// at all, and by more than anti-aliasing noise does) and, given a third file, writes a picture of the change
// there (ink of both in light grey, ink only the old page has in red, only the new page has in blue). Exit
// status 0 when no pixel differs, 1 when some do, 2 when a page cannot be read or the picture written.
#include "page_images/PageImages.h"

#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: tovrin_image_diff OLD.png NEW.png [DIFFERENCE.png]\n");
        return 2;
    }
    const QImage before(QString::fromLocal8Bit(argv[1]));
    const QImage after(QString::fromLocal8Bit(argv[2]));
    for (int i : {1, 2}) {
        if ((i == 1 ? before : after).isNull()) {
            std::fprintf(stderr, "tovrin_image_diff: %s: not a readable image\n", argv[i]);
            return 2;
        }
    }
    const pageimages::Difference difference = pageimages::compare(before, after);
    std::printf("%lld %lld\n", difference.changedPixels, difference.markedPixels);
    if (argc == 4 &&
        !pageimages::differenceImage(before, after).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "tovrin_image_diff: %s: cannot be written\n", argv[3]);
        return 2;
    }
    return difference.changedPixels == 0 ? 0 : 1;
}
