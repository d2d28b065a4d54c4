#include "assets/art/art_output.h"

namespace art {

Picture SpritePicture(const Canvas& canvas, Rgb matte, bool dither) {
    QuantiseOptions o;
    o.useMatte = true;
    o.matte = matte;
    o.dither = dither;
    o.threshold = 0.35f;
    return Quantise(canvas, o);
}

Picture OpaquePicture(const Canvas& canvas, bool dither) {
    QuantiseOptions o;
    o.opaque = true;
    o.backdrop = Rgb{16, 20, 24};
    o.dither = dither;
    return Quantise(canvas, o);
}

} // namespace art
