#include "views/WindowModel.h"

#include "views/MakerTexts.h"
#include "views/ViewTexts.h"

namespace {

// Design colours: red, blue, green, black repeating on the first four series of every page and on all
// twelve of page 1; the fifth and sixth series of pages 2 to 4 are red.
Rgb DesignColour(int page, int index) {
  static constexpr std::array<Rgb, 4> Cycle = {Colour::Red, Colour::Blue, Colour::SeriesGreen, Colour::Black};
  if (page != PageT && index >= 4) return Colour::Red;
  return Cycle[index % 4];
}

}  // namespace

QByteArray DeviceLabelPlaceholder() {
  return WindowText(QT_TRANSLATE_NOOP("WindowModel", "Eszköz neve"));
}

WindowModel::WindowModel() : labelDevice(DeviceLabelPlaceholder()) {
  for (int page = 0; page < 4; ++page) {
    std::vector<ChartSeries>& series = pages[page].chart.series;
    series.reserve(SeriesPerPage[page]);
    for (int i = 0; i < SeriesPerPage[page]; ++i) series.emplace_back(DesignColour(page, i));
  }
  pages[PageT].upDnMin.minimum = -3200;
  pages[PageT].upDnMin.maximum = 3200;
  statusPanels = {"", "", " ", "--", MakerWebAddress, "port: 6262", ""};
}
