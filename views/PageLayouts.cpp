#include "views/PageLayouts.h"

#include <span>

#include "views/CodeTables.h"
#include "views/NumberFormats.h"
#include "views/ViewTexts.h"

namespace {

using enum PageFamily;

constexpr std::array<PageLayout, 58> Table = {{
    {2, TemperatureHumidity, 2, 0},
    {3, TemperatureHumidity, 4, 0},
    {4, TemperatureHumidity, 2, 1},
    {5, TemperatureHumidity, 4, 4},
    {6, TemperatureHumidity, 2, 0},
    {7, TemperatureHumidity, 2, 2},
    {8, TemperatureHumidity, 1, 1},
    {9, TemperatureHumidity, 6, 0},
    {10, TemperatureHumidity, 6, 6},
    {12, TemperatureHumidity, 1, 0},
    {13, TemperatureHumidity, 2, 0},
    {14, Illumination},
    {15, TemperatureHumidity, 2, 0},
    {16, TemperatureHumidity, 2, 0},
    {17, TemperatureHumidity, 2, 0},
    {18, Current},
    {19, TemperatureHumidity, 2, 2},
    {21, TemperatureHumidity, 2, 0},
    {22, TemperatureHumidity, 4, 0},
    {23, TemperatureHumidity, 6, 0},
    {24, TemperatureHumidity, 2, 1},
    {25, TemperatureHumidity, 2, 2},
    {26, TemperatureHumidity, 4, 4},
    {27, TemperatureHumidity, 6, 6},
    {28, TemperatureHumidity, 2, 0},
    {29, TemperatureHumidity, 1, 1},
    {30, TemperatureHumidity, 2, 2},
    {31, RelayEvents},
    {32, TemperatureHumidity, 1, 0},
    {33, TemperatureHumidity, 2, 0},
    {34, TemperatureHumidity, 2, 0},
    {35, TemperatureHumidity, 2, 0},
    {36, Illumination},
    {37, TemperatureHumidity, 2, 0},
    {38, Current},
    {39, BellEvents},
    {40, BellEvents},
    {41, BellEvents},
    {42, Contact},
    {43, Climate},
    {44, Climate},
    {45, TwoHumidity},
    {46, BellEvents},
    {47, BellEventsWithContact},
    {48, TemperatureHumidity, 2, 2},
    {49, TemperatureHumidity, 2, 2},
    {50, Particulate},
    {51, TemperatureHumidity, 1, 1},
    {52, TemperatureHumidity, 1, 0},
    {53, TemperatureHumidity, 2, 0},
    {54, TemperatureHumidity, 4, 0},
    {55, EnergyMeter},
    {56, HubMonitor},
    {102, ControlEvent},
    {103, Contact},
    {104, Climate},
    {105, Climate},
    {106, TwoHumidity},
}};

static_assert(IsSortedByCode(Table));

// What a summary line shows before its minimum.
enum class LinePrefix {
  MinMax,  // "Min/Max: "
  Sensor,  // "S1:", "S2:" ... by channel
  None,
};

// One measured quantity of a layout: consecutive fields of the line, charted on the first series of
// one page, with the page's caption, its last-value strip and its group of min/max lines.
struct Quantity {
  ChartPage page;
  int channels;
  const char* caption;
  const char* stripHeader;
  const char* stripUnit;  // follows every value; its closing blank separates the values
  const char* heading;    // summary heading of the group
  const char* minMaxUnit;
  NumberFormat format = NumberFormat::TwoDigitsOneDecimal;
  std::span<const Rgb> colours = ChannelPalette;  // channel k takes colours[k - 1]
  LinePrefix prefix = LinePrefix::MinMax;
  bool sensorLabels = false;  // strip runs begin with "S1:", "S2:" ...
};

// A layout built from measured quantities, in field order.
struct MeasuringLayout {
  std::span<const Quantity> quantities;
  int tabWidth = 100;
  // Energy meter: fields are tenths shown in the general format, and the min/max lines come from the
  // raw extremes divided by 10 instead of from the series.
  bool tenths = false;
  bool colourSeries = false;    // the series take the channel colours
  bool compactSummary = false;  // no empty line between groups; headings in the colour of their lines
};

constexpr Rgb RedOnly[] = {Colour::Red};
constexpr Rgb BlueOnly[] = {Colour::Blue};
constexpr Rgb GreenOnly[] = {Colour::Green};
constexpr Rgb PurpleOnly[] = {Colour::Purple};
constexpr Rgb EnergyColours[] = {Colour::Black, Colour::Gray, Colour::Maroon};

constexpr const char* HumidityCaption = "Páratartalom";
constexpr const char* HumidityHeader = "Utoljára mért páratartalom adatok: ";
constexpr Quantity Temperatures{
    PageT, 0, "Hőmérséklet", "Utoljára mért hőmérséklet adatok: ", "°C ", "Hőmérséklet:", "°C"};
constexpr Quantity Humidities{PageH, 0, HumidityCaption, HumidityHeader, "% ", "Páratartalom:", "%"};
// The humidity strip of single-page layouts: its header, no values.
constexpr Quantity NoHumidity = Humidities;

constexpr Quantity Illuminations[] = {
    {PageT, 2, "Megvilágítás", "Utoljára mért megvilágítás adatok: ", " lux ", "Megvilágítás:", " lux",
     NumberFormat::TwoDigits},
    NoHumidity,
};
constexpr Quantity Currents[] = {
    {PageT, 3, "áramerősség", "Utoljára mért áramerősség adatok: ", "mA ", "Áramerősség:", "mA"},
    NoHumidity,
};
constexpr Quantity ClimateQuantities[] = {
    {PageT, 1, "Hőmérséklet", "Utoljára mért hőmérséklet adat: ", "°C ", "Hőmérséklet:", "°C",
     NumberFormat::TwoDigitsOneDecimal, RedOnly},
    {PageH, 1, HumidityCaption, "Utoljára mért páratartalom adat: ", "% ", "Páratartalom:", "%",
     NumberFormat::TwoDigitsOneDecimal, BlueOnly},
    {PageC, 1, "CO2", "Utoljára mért CO2 adat: ", "ppm ", "CO2:", "ppm", NumberFormat::TwoDigitsOneDecimal,
     GreenOnly},
    {PageV, 1, "VOC", "Utoljára mért VOC adat: ", "ppb ", "VOC:", "ppv", NumberFormat::TwoDigitsOneDecimal,
     PurpleOnly},
};
constexpr Quantity TwoHumidityQuantities[] = {
    {PageT, 4, "Hőmérséklet", "Utoljára mért hőmérséklet adatok: ", "°C ", "Hőmérséklet:", "°C"},
    {PageH, 4, "Relatív páratartalom", "Utoljára mért relatív páratartalom adatok: ", "% ",
     "Rel. páratartalom:", "%"},
    {PageC, 4, "Abszolút páratartalom", "Utoljára mért abszolút páratartalom adatok: ", "% ",
     "Abs. páratartalom:", "%"},
};
constexpr Quantity ParticulateQuantities[] = {
    {PageT, 4, "Mass Concentration PM1.0 µg/m3", "Utoljára mért PM1.0 adatok: ", "µg/m3 ",
     "Min/Max Mass C. PM1.0:", " µg/m3", NumberFormat::TwoDigitsOneDecimal, ChannelPalette,
     LinePrefix::Sensor, true},
    {PageH, 4, "Mass Concentration PM2.5 µg/m3", "Utoljára mért PM2.5 adatok: ", "µg/m3 ",
     "Min/Max Mass C. PM2.5:", " µg/m3", NumberFormat::TwoDigitsOneDecimal, ChannelPalette, LinePrefix::None,
     true},
    {PageC, 4, "Mass Concentration PM4.0 µg/m3", "Utoljára mért PM4.0 adatok: ", "µg/m3 ",
     "Min/Max Mass C. PM4.0:", " µg/m3", NumberFormat::TwoDigitsOneDecimal, ChannelPalette, LinePrefix::None,
     true},
    {PageV, 4, "Mass Concentration PM10.0 µg/m3", "Utoljára mért PM10.0 adatok: ", "µg/m3 ",
     "Min/Max Mass C. PM10.0:", " µg/m3", NumberFormat::TwoDigitsOneDecimal, ChannelPalette, LinePrefix::None,
     true},
};
constexpr Quantity EnergyQuantities[] = {
    {PageT, 3, "Teljesítmény", "Utoljára mért teljesítmény adatok: ", "kW ", "Teljesítmény:", " kW",
     NumberFormat::OneDecimal, EnergyColours},
    {PageH, 3, "Feszültség", "Utoljára mért feszültség adatok: ", "V ", "Feszültség:", " V",
     NumberFormat::OneDecimal, EnergyColours},
    {PageC, 3, "Áramerősség", "Utoljára mért áramerősség adatok: ", "A ", "Áramerősség:", " A",
     NumberFormat::OneDecimal, EnergyColours},
};
constexpr Quantity HubQuantities[] = {
    {PageT, 1, "Hőmérséklet", "Utoljára mért hőmérséklet adatok: ", "C ", "Hőmérséklet:", "C",
     NumberFormat::TwoDigitsOneDecimal, RedOnly},
    {PageH, 1, HumidityCaption, HumidityHeader, "% ", "Páratartalom:", "%", NumberFormat::TwoDigitsOneDecimal,
     BlueOnly},
    {PageC, 1, "Feszültség", "Utoljára mért feszültség adatok: ", "V ", "Feszültség:", "V",
     NumberFormat::TwoDigitsOneDecimal, GreenOnly},
};

// The channels a measuring layout fills on each page.
constexpr std::array<int, 4> PageChannels(std::span<const Quantity> quantities) {
  std::array<int, 4> channels{};
  for (const Quantity& quantity : quantities) channels[quantity.page] += quantity.channels;
  return channels;
}

// A line of an event legend; the lines of one legend have one length, so that they line up in the
// centred, fixed-pitch summary box.
struct LegendLine {
  const char* text;
  Rgb colour;
};

constexpr LegendLine RelayLegend[] = {
    {"0 = Relay1      OFF", Colour::Red},
    {"1 = Relay1       ON", Colour::Red},
    {"2 = Relay2      OFF", Colour::Blue},
    {"3 = Relay2       ON", Colour::Blue},
};
constexpr LegendLine BellLegend[] = {
    {" 5 = extra     csengetés", Colour::Blue},
    {"10 = auto      csengetés", Colour::Blue},
    {"15 = kézi      csengetés", Colour::Blue},
    {"20 = napi         törlés", Colour::Blue},
};
constexpr LegendLine BellWithContactLegend[] = {
    {" 5 = extra     csengetés", Colour::Blue}, {"10 = auto      csengetés", Colour::Blue},
    {"15 = kézi      csengetés", Colour::Blue}, {"20 = kontaktus csengetés", Colour::Blue},
    {"25 = napi         törlés", Colour::Blue},
};

// The control events by the first character of their field, "0" to "4".
constexpr const char* ControlEvents[] = {"Kikapcsolás", "Automatikus bekapcsolás", "Kézi bekapcsolás",
                                         "Nap törlés", "Reset"};
constexpr const char* UnknownControlEvent = "Ismeretlen";

struct PageContext {
  const SharedState& state;
  WindowModel& view;
  char decimalSeparator;
  const ChannelExtremes& extremes;

  bool HasLastLine() const { return !state.LineFields.IsEmpty(); }
  const QByteArray& Field(int index) const { return state.LineFields.Get(index); }
  QByteArray Number(double value, NumberFormat format) const {
    return FormatNumber(value, format, decimalSeparator);
  }
};

// Tab width, the shown tabs and the captions; a page without a caption here keeps its own.
void ArrangePages(WindowModel& view, int tabWidth, const std::array<bool, 4>& shown,
                  const std::array<const char*, 4>& captions) {
  view.tabWidth = tabWidth;
  for (int page = 0; page < 4; ++page) {
    view.tabVisible[page] = shown[page];
    if (captions[page]) view.pageCaptions[page] = Win1250Text(captions[page]);
  }
}

// Empties a strip and writes its header in the strip's default colour, black.
void RewriteStrip(RichText& strip, const char* header) {
  strip.Clear();
  if (*header) strip.Insert(Win1250Text(header));
}

void AppendSummaryLine(RichText& summary, Rgb colour, const QByteArray& text) {
  summary.SetColour(colour);
  summary.AppendLine(text);
}

QByteArray SensorLabel(int channel) {
  return "S" + QByteArray::number(channel + 1) + ":";
}

void WriteStripValues(const PageContext& context, const MeasuringLayout& layout, const Quantity& quantity,
                      int firstField) {
  RichText& strip = context.view.pages[quantity.page].strip;
  for (int k = 0; k < quantity.channels; ++k) {
    const QByteArray& field = context.Field(firstField + k);
    QByteArray text = quantity.sensorLabels ? SensorLabel(k) : QByteArray();
    // A missing or unreadable energy meter value is shown as written, like every other strip value.
    const std::optional<double> raw =
        layout.tenths ? ReadNumber(field, context.decimalSeparator) : std::nullopt;
    text += raw ? context.Number(*raw / 10, NumberFormat::General) : field;
    strip.SetColour(quantity.colours[k]);
    strip.Insert(text + Win1250Text(quantity.stripUnit));
  }
}

void WriteMinMaxLines(const PageContext& context, const MeasuringLayout& layout, const Quantity& quantity,
                      int firstChannel) {
  const std::vector<ChartSeries>& series = context.view.pages[quantity.page].chart.series;
  for (int k = 0; k < quantity.channels; ++k) {
    double minimum = series[k].MinY();
    double maximum = series[k].MaxY();
    if (layout.tenths) {
      minimum = context.extremes[firstChannel + k].smallest / 10;
      maximum = context.extremes[firstChannel + k].largest / 10;
    }
    const QByteArray prefix = quantity.prefix == LinePrefix::MinMax   ? QByteArrayLiteral("Min/Max: ")
                              : quantity.prefix == LinePrefix::Sensor ? SensorLabel(k)
                                                                      : QByteArray();
    const QByteArray low = context.Number(minimum, quantity.format);
    const QByteArray high = context.Number(maximum, quantity.format);
    const QByteArray& unit = Win1250Text(quantity.minMaxUnit);
    QByteArray text;
    text.reserve(prefix.size() + low.size() + 1 + high.size() + unit.size());
    text.append(prefix).append(low).append('/').append(high).append(unit);
    AppendSummaryLine(context.view.summary, quantity.colours[k], text);
  }
}

void WriteMeasuringLayout(const PageContext& context, const MeasuringLayout& layout) {
  std::array<bool, 4> shown{true, false, false, false};
  std::array<const char*, 4> captions{};
  for (const Quantity& quantity : layout.quantities) {
    shown[quantity.page] = shown[quantity.page] || quantity.channels > 0;
    captions[quantity.page] = quantity.caption;
  }
  ArrangePages(context.view, layout.tabWidth, shown, captions);

  int field = FirstValueColumn;
  int channel = 0;
  bool firstGroup = true;
  for (const Quantity& quantity : layout.quantities) {
    if (layout.colourSeries) {
      for (int k = 0; k < quantity.channels; ++k) {
        context.view.pages[quantity.page].chart.series[k].SetColour(quantity.colours[k]);
      }
    }
    RewriteStrip(context.view.pages[quantity.page].strip, quantity.stripHeader);
    if (context.HasLastLine()) WriteStripValues(context, layout, quantity, field);
    if (quantity.channels > 0) {
      if (!firstGroup && !layout.compactSummary) AppendSummaryLine(context.view.summary, Colour::Black, {});
      const Rgb headingColour = layout.compactSummary ? quantity.colours[0] : Colour::Black;
      AppendSummaryLine(context.view.summary, headingColour, Win1250Text(quantity.heading));
      WriteMinMaxLines(context, layout, quantity, channel);
      firstGroup = false;
    }
    field += quantity.channels;
    channel += quantity.channels;
  }
}

void WriteTemperatureHumidity(const PageContext& context, int temperatures, int humidities) {
  Quantity quantities[] = {Temperatures, Humidities};
  quantities[0].channels = temperatures;
  quantities[1].channels = humidities;
  WriteMeasuringLayout(context, {quantities});
}

// Event devices: no values in the strips, a legend of the event values in the summary box.
void WriteEventLegend(const PageContext& context, std::span<const LegendLine> legend) {
  ArrangePages(context.view, 100, {true, false, false, false}, {"Események", HumidityCaption});
  RewriteStrip(context.view.pages[PageT].strip, "");
  RewriteStrip(context.view.pages[PageH].strip, HumidityHeader);
  AppendSummaryLine(context.view.summary, Colour::Black, Win1250Text("Esemény/érték:"));
  for (const LegendLine& line : legend)
    AppendSummaryLine(context.view.summary, line.colour, Win1250Text(line.text));
}

// Contact states 1 .. 12 on a fixed axis; the humidity strip keeps "2: " and the summary stays empty.
void WriteContact(const PageContext& context) {
  ArrangePages(context.view, 100, {true, false, false, false}, {"Kontaktus", HumidityCaption});
  context.view.pages[PageT].chart.SetAxisRange(1, 12);
  RewriteStrip(context.view.pages[PageT].strip, "");
}

// The last control event in words, chosen by the first character of its field; an empty field, like
// any character other than "0" to "4", reads "Ismeretlen".
void WriteControlEvent(const PageContext& context) {
  ArrangePages(context.view, 100, {true, false, false, false}, {"Vezérlés", HumidityCaption});
  RichText& strip = context.view.pages[PageT].strip;
  RewriteStrip(strip, "Utolsó vezérlési esemény: ");
  RewriteStrip(context.view.pages[PageH].strip, HumidityHeader);
  if (!context.HasLastLine()) return;
  const QByteArray& field = context.Field(FirstValueColumn);
  const int event = field.isEmpty() ? -1 : field[0] - '0';
  const bool known = event >= 0 && event < int(std::size(ControlEvents));
  strip.SetColour(Colour::Red);
  strip.Insert(Win1250Text(known ? ControlEvents[event] : UnknownControlEvent));
}

}  // namespace

std::optional<PageLayout> LookUpPageLayout(int deviceCode) {
  return FindRowByCode(Table, deviceCode);
}

std::array<int, 4> ChartChannels(const PageLayout& layout) {
  switch (layout.family) {
    case TemperatureHumidity:
      return {layout.temperatures, layout.humidities, 0, 0};
    case Illumination:
      return PageChannels(Illuminations);
    case Current:
      return PageChannels(Currents);
    case RelayEvents:
      return {2, 0, 0, 0};  // a relay event field holds two numbers
    case BellEvents:
    case BellEventsWithContact:
    case ControlEvent:
      return {1, 0, 0, 0};
    case Contact:
      return {12, 0, 0, 0};
    case Climate:
      return PageChannels(ClimateQuantities);
    case TwoHumidity:
      return PageChannels(TwoHumidityQuantities);
    case Particulate:
      return PageChannels(ParticulateQuantities);
    case EnergyMeter:
      return PageChannels(EnergyQuantities);
    case HubMonitor:
      return PageChannels(HubQuantities);
  }
  return {};
}

void SetUpPages(const SharedState& state, WindowModel& view, char systemDecimalSeparator,
                const ChannelExtremes& extremes) {
  const std::optional<PageLayout> layout = LookUpPageLayout(state.DeviceCode);
  if (!layout) return;
  const PageContext context{state, view, systemDecimalSeparator, extremes};
  switch (layout->family) {
    case TemperatureHumidity:
      return WriteTemperatureHumidity(context, layout->temperatures, layout->humidities);
    case Illumination:
      return WriteMeasuringLayout(context, {Illuminations});
    case Current:
      return WriteMeasuringLayout(context, {Currents});
    case RelayEvents:
      return WriteEventLegend(context, RelayLegend);
    case BellEvents:
      return WriteEventLegend(context, BellLegend);
    case BellEventsWithContact:
      return WriteEventLegend(context, BellWithContactLegend);
    case Contact:
      return WriteContact(context);
    case ControlEvent:
      return WriteControlEvent(context);
    case Climate:
      return WriteMeasuringLayout(context, {ClimateQuantities, 100, false, true});
    case TwoHumidity:
      return WriteMeasuringLayout(context, {TwoHumidityQuantities, 160});
    case Particulate:
      return WriteMeasuringLayout(context, {ParticulateQuantities, 250});
    case EnergyMeter:
      return WriteMeasuringLayout(context, {EnergyQuantities, 100, true, true});
    case HubMonitor:
      return WriteMeasuringLayout(context, {HubQuantities, 100, false, false, true});
  }
}
