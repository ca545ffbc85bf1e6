#include "picture_scale_core.h"

namespace qvn {

int PictureScaleIndexFor(unsigned dpi) {
  if (dpi == 0) return 0;
  // Compare in units of dpi * 100 to stay in integers: scale s fits a DPI
  // of s * 96 / 100.
  const long long want = static_cast<long long>(dpi) * 100;
  int best = 0;
  long long bestGap = -1;
  for (int i = 0; i < static_cast<int>(sizeof kPictureScales / sizeof kPictureScales[0]); ++i) {
    long long gap = want - static_cast<long long>(kPictureScales[i]) * kBaseDpi;
    if (gap < 0) gap = -gap;
    if (bestGap < 0 || gap <= bestGap) {
      best = i;
      bestGap = gap;
    }
  }
  return best;
}

int PictureScaleFor(unsigned dpi) { return kPictureScales[PictureScaleIndexFor(dpi)]; }

int ScaledToPicture(int pixelsAt100, int scale) { return (pixelsAt100 * scale + 50) / 100; }

int ScaledToDpi(int pixelsAt96, unsigned dpi) {
  if (dpi == 0) return pixelsAt96;
  const long long v = static_cast<long long>(pixelsAt96) * dpi;
  return static_cast<int>((v + (v < 0 ? -1 : 1) * static_cast<long long>(kBaseDpi / 2)) / kBaseDpi);
}

}  // namespace qvn
