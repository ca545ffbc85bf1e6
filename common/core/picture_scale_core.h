// Which of the generated picture scales a window at a given DPI uses, and
// sizes given at 96 DPI taken to another DPI. Every shipped picture exists
// at 100, 125, 150 and 200 %; a window takes the nearest one and nothing
// is stretched beyond it.
#pragma once

namespace qvn {

constexpr unsigned kBaseDpi = 96;
constexpr int kPictureScales[] = {100, 125, 150, 200};

// The generated scale (percent) nearest to dpi; a tie goes to the larger
// scale, so a picture is shrunk rather than enlarged. 0 (unknown) is 100.
int PictureScaleFor(unsigned dpi);

// Index of PictureScaleFor(dpi) in kPictureScales.
int PictureScaleIndexFor(unsigned dpi);

// A size of pixels at 100 % at the given scale (percent).
int ScaledToPicture(int pixelsAt100, int scale);

// A length of pixels at 96 DPI at dpi, rounded to the nearest pixel.
int ScaledToDpi(int pixelsAt96, unsigned dpi);

}  // namespace qvn
