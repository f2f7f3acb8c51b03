#include "host/hostobjects/movie_window_rect.h"

#include <algorithm>
#include <cmath>

namespace vexil::hostobjects {

namespace {

int32_t truncated(double v) {
  if (!std::isfinite(v)) return 0;
  return int32_t(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

}  // namespace

std::optional<WindowRect> movieToWindow(PixelSize movie, PixelSize client, int32_t scaleMode, double xMin,
                                        double xMax, double yMin, double yMax) {
  if (movie.width <= 0 || movie.height <= 0) return std::nullopt;
  const double mw = movie.width, mh = movie.height, cw = client.width, ch = client.height;
  double w = 0, h = 0, ox = 0, oy = 0;
  switch (scaleMode) {
    case 0:
    case 1: {
      double s = scaleMode == 0 ? std::min(cw / mw, ch / mh) : std::max(cw / mw, ch / mh);
      w = truncated(s * mw);
      h = truncated(s * mh);
      ox = truncated((cw - w) / 2);
      oy = truncated((ch - h) / 2);
      break;
    }
    case 2:
      w = cw;
      h = ch;
      break;
    case 3:
      w = mw;
      h = mh;
      ox = truncated((cw - mw) / 2);
      oy = truncated((ch - mh) / 2);
      break;
    default: break;
  }
  return WindowRect{truncated(ox + truncated(w / mw * xMin)), truncated(ox + truncated(w / mw * xMax)),
                    truncated(oy + truncated(h / mh * yMin)), truncated(oy + truncated(h / mh * yMax))};
}

}  // namespace vexil::hostobjects
