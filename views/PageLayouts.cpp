#include "views/PageLayouts.h"

#include <span>

#include "views/NumberFormats.h"
#include "views/ViewTexts.h"

namespace {

using enum PageFamily;

// What a summary line shows before its minimum.
enum class LinePrefix {
  MinMax,  // "Min/Max: "
  Sensor,  // "S1:", "S2:" ... by channel
  None,
};

// One measured quantity of a layout: the consecutive value columns of one catalogue quantity, charted
// from the first series of one page, with the page's caption, its last-value strip and its group of
// min/max lines. The caption, strip header and heading are written in the window's language; the units
// are the same in every language.
struct PageQuantity {
  ChartPage page;
  char letter;  // the catalogue quantity whose columns it charts
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
  std::span<const PageQuantity> quantities;
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

constexpr const char* HumidityCaption = QT_TRANSLATE_NOOP("WindowModel", "Páratartalom");
constexpr const char* HumidityHeader =
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért páratartalom adatok: ");
constexpr PageQuantity Temperatures{PageT,
                                    'T',
                                    QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet"),
                                    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért hőmérséklet adatok: "),
                                    "°C ",
                                    QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet:"),
                                    "°C"};
constexpr PageQuantity Humidities{
    PageH, 'H', HumidityCaption, HumidityHeader, "% ", QT_TRANSLATE_NOOP("WindowModel", "Páratartalom:"),
    "%"};
// The humidity strip of single-page layouts: its header, and no values, as they have no humidity.
constexpr PageQuantity NoHumidity = Humidities;
constexpr PageQuantity TemperatureHumidityQuantities[] = {Temperatures, Humidities};

constexpr PageQuantity Illuminations[] = {
    {PageT, 'L', QT_TRANSLATE_NOOP("WindowModel", "Megvilágítás"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért megvilágítás adatok: "), " lux ",
     QT_TRANSLATE_NOOP("WindowModel", "Megvilágítás:"), " lux", NumberFormat::TwoDigits},
    NoHumidity,
};
constexpr PageQuantity Currents[] = {
    {PageT, 'I', QT_TRANSLATE_NOOP("WindowModel", "áramerősség"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért áramerősség adatok: "), "mA ",
     QT_TRANSLATE_NOOP("WindowModel", "Áramerősség:"), "mA"},
    NoHumidity,
};
constexpr PageQuantity ClimateQuantities[] = {
    {PageT, 'T', QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért hőmérséklet adat: "), "°C ",
     QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet:"), "°C", NumberFormat::TwoDigitsOneDecimal, RedOnly},
    {PageH, 'H', HumidityCaption, QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért páratartalom adat: "), "% ",
     QT_TRANSLATE_NOOP("WindowModel", "Páratartalom:"), "%", NumberFormat::TwoDigitsOneDecimal, BlueOnly},
    {PageC, 'C', QT_TRANSLATE_NOOP("WindowModel", "CO2"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért CO2 adat: "), "ppm ",
     QT_TRANSLATE_NOOP("WindowModel", "CO2:"), "ppm", NumberFormat::TwoDigitsOneDecimal, GreenOnly},
    {PageV, 'V', QT_TRANSLATE_NOOP("WindowModel", "VOC"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért VOC adat: "), "ppb ",
     QT_TRANSLATE_NOOP("WindowModel", "VOC:"), "ppv", NumberFormat::TwoDigitsOneDecimal, PurpleOnly},
};
constexpr PageQuantity TwoHumidityQuantities[] = {
    {PageT, 'T', QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért hőmérséklet adatok: "), "°C ",
     QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet:"), "°C"},
    {PageH, 'H', QT_TRANSLATE_NOOP("WindowModel", "Relatív páratartalom"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért relatív páratartalom adatok: "), "% ",
     QT_TRANSLATE_NOOP("WindowModel", "Rel. páratartalom:"), "%"},
    {PageC, 'A', QT_TRANSLATE_NOOP("WindowModel", "Abszolút páratartalom"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért abszolút páratartalom adatok: "), "% ",
     QT_TRANSLATE_NOOP("WindowModel", "Abs. páratartalom:"), "%"},
};
constexpr PageQuantity ParticulateQuantities[] = {
    {PageT, '1', QT_TRANSLATE_NOOP("WindowModel", "Mass Concentration PM1.0 µg/m3"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM1.0 adatok: "), "µg/m3 ",
     QT_TRANSLATE_NOOP("WindowModel", "Min/Max Mass C. PM1.0:"), " µg/m3", NumberFormat::TwoDigitsOneDecimal,
     ChannelPalette, LinePrefix::Sensor, true},
    {PageH, '2', QT_TRANSLATE_NOOP("WindowModel", "Mass Concentration PM2.5 µg/m3"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM2.5 adatok: "), "µg/m3 ",
     QT_TRANSLATE_NOOP("WindowModel", "Min/Max Mass C. PM2.5:"), " µg/m3", NumberFormat::TwoDigitsOneDecimal,
     ChannelPalette, LinePrefix::None, true},
    {PageC, '4', QT_TRANSLATE_NOOP("WindowModel", "Mass Concentration PM4.0 µg/m3"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM4.0 adatok: "), "µg/m3 ",
     QT_TRANSLATE_NOOP("WindowModel", "Min/Max Mass C. PM4.0:"), " µg/m3", NumberFormat::TwoDigitsOneDecimal,
     ChannelPalette, LinePrefix::None, true},
    {PageV, '0', QT_TRANSLATE_NOOP("WindowModel", "Mass Concentration PM10.0 µg/m3"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM10.0 adatok: "), "µg/m3 ",
     QT_TRANSLATE_NOOP("WindowModel", "Min/Max Mass C. PM10.0:"), " µg/m3", NumberFormat::TwoDigitsOneDecimal,
     ChannelPalette, LinePrefix::None, true},
};
constexpr PageQuantity EnergyQuantities[] = {
    {PageT, 'W', QT_TRANSLATE_NOOP("WindowModel", "Teljesítmény"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért teljesítmény adatok: "), "kW ",
     QT_TRANSLATE_NOOP("WindowModel", "Teljesítmény:"), " kW", NumberFormat::OneDecimal, EnergyColours},
    {PageH, 'Y', QT_TRANSLATE_NOOP("WindowModel", "Feszültség"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért feszültség adatok: "), "V ",
     QT_TRANSLATE_NOOP("WindowModel", "Feszültség:"), " V", NumberFormat::OneDecimal, EnergyColours},
    {PageC, 'Z', QT_TRANSLATE_NOOP("WindowModel", "Áramerősség"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért áramerősség adatok: "), "A ",
     QT_TRANSLATE_NOOP("WindowModel", "Áramerősség:"), " A", NumberFormat::OneDecimal, EnergyColours},
};
constexpr PageQuantity HubQuantities[] = {
    {PageT, 'T', QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért hőmérséklet adatok: "), "C ",
     QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet:"), "C", NumberFormat::TwoDigitsOneDecimal, RedOnly},
    {PageH, 'H', HumidityCaption, HumidityHeader, "% ", QT_TRANSLATE_NOOP("WindowModel", "Páratartalom:"),
     "%", NumberFormat::TwoDigitsOneDecimal, BlueOnly},
    {PageC, 'U', QT_TRANSLATE_NOOP("WindowModel", "Feszültség"),
     QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért feszültség adatok: "), "V ",
     QT_TRANSLATE_NOOP("WindowModel", "Feszültség:"), "V", NumberFormat::TwoDigitsOneDecimal, GreenOnly},
};

// The channels a measuring layout fills on each page: the row's columns of each quantity.
std::array<int, 4> PageChannels(const DeviceType& type, std::span<const PageQuantity> quantities) {
  std::array<int, 4> channels{};
  for (const PageQuantity& quantity : quantities) channels[quantity.page] += type.ColumnsOf(quantity.letter);
  return channels;
}

// A line of an event legend; the lines of one legend have one length, so that they line up in the
// centred, fixed-pitch summary box.
struct LegendLine {
  const char* text;
  Rgb colour;
};

constexpr LegendLine RelayLegend[] = {
    {QT_TRANSLATE_NOOP("WindowModel", "0 = Relay1      OFF"), Colour::Red},
    {QT_TRANSLATE_NOOP("WindowModel", "1 = Relay1       ON"), Colour::Red},
    {QT_TRANSLATE_NOOP("WindowModel", "2 = Relay2      OFF"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "3 = Relay2       ON"), Colour::Blue},
};
constexpr LegendLine BellLegend[] = {
    {QT_TRANSLATE_NOOP("WindowModel", " 5 = extra     csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "10 = auto      csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "15 = kézi      csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "20 = napi         törlés"), Colour::Blue},
};
constexpr LegendLine BellWithContactLegend[] = {
    {QT_TRANSLATE_NOOP("WindowModel", " 5 = extra     csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "10 = auto      csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "15 = kézi      csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "20 = kontaktus csengetés"), Colour::Blue},
    {QT_TRANSLATE_NOOP("WindowModel", "25 = napi         törlés"), Colour::Blue},
};

// The control events by the first character of their field, "0" to "4".
constexpr const char* ControlEvents[] = {QT_TRANSLATE_NOOP("WindowModel", "Kikapcsolás"),
                                         QT_TRANSLATE_NOOP("WindowModel", "Automatikus bekapcsolás"),
                                         QT_TRANSLATE_NOOP("WindowModel", "Kézi bekapcsolás"),
                                         QT_TRANSLATE_NOOP("WindowModel", "Nap törlés"),
                                         QT_TRANSLATE_NOOP("WindowModel", "Reset")};
constexpr const char* UnknownControlEvent = QT_TRANSLATE_NOOP("WindowModel", "Ismeretlen");

struct PageContext {
  const SharedState& state;
  WindowModel& view;
  char decimalSeparator;
  const ChannelExtremes& extremes;
  const DeviceType& type;

  int Channels(const PageQuantity& quantity) const { return type.ColumnsOf(quantity.letter); }
  // The last record's value in a column from FirstValueColumn on, when it is a number.
  std::optional<double> LastValue(int column) const {
    if (state.LogRecords.IsEmpty()) return std::nullopt;
    const std::span<const RecordValue> values = state.LogRecords.Values(state.LogRecords.records.back());
    const int index = column - FirstValueColumn;
    if (index < 0 || index >= int(values.size()) || !values[index].IsNumber()) return std::nullopt;
    return values[index].number;
  }

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
    if (captions[page]) view.pageCaptions[page] = WindowText(captions[page]);
  }
}

// Empties a strip and writes its header in the strip's default colour, black.
void RewriteStrip(RichText& strip, const char* header) {
  strip.Clear();
  if (*header) strip.Insert(WindowText(header));
}

void AppendSummaryLine(RichText& summary, Rgb colour, const QByteArray& text) {
  summary.SetColour(colour);
  summary.AppendLine(text);
}

QByteArray SensorLabel(int channel) {
  return "S" + QByteArray::number(channel + 1) + ":";
}

void WriteStripValues(const PageContext& context, const MeasuringLayout& layout, const PageQuantity& quantity,
                      int firstField) {
  RichText& strip = context.view.pages[quantity.page].strip;
  for (int k = 0; k < context.Channels(quantity); ++k) {
    const QByteArray& field = context.Field(firstField + k);
    QByteArray text = quantity.sensorLabels ? SensorLabel(k) : QByteArray();
    // A missing or unreadable energy meter value is shown as written, like every other strip value.
    const std::optional<double> raw = layout.tenths ? context.LastValue(firstField + k) : std::nullopt;
    text += raw ? context.Number(*raw / 10, NumberFormat::General) : field;
    strip.SetColour(quantity.colours[k]);
    strip.Insert(text + Win1250Text(quantity.stripUnit));
  }
}

void WriteMinMaxLines(const PageContext& context, const MeasuringLayout& layout, const PageQuantity& quantity,
                      int firstChannel) {
  const std::vector<ChartSeries>& series = context.view.pages[quantity.page].chart.series;
  for (int k = 0; k < context.Channels(quantity); ++k) {
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
  for (const PageQuantity& quantity : layout.quantities) {
    shown[quantity.page] = shown[quantity.page] || context.Channels(quantity) > 0;
    captions[quantity.page] = quantity.caption;
  }
  ArrangePages(context.view, layout.tabWidth, shown, captions);

  int field = FirstValueColumn;
  int channel = 0;
  bool firstGroup = true;
  for (const PageQuantity& quantity : layout.quantities) {
    const int channels = context.Channels(quantity);
    if (layout.colourSeries) {
      for (int k = 0; k < channels; ++k) {
        context.view.pages[quantity.page].chart.series[k].SetColour(quantity.colours[k]);
      }
    }
    RewriteStrip(context.view.pages[quantity.page].strip, quantity.stripHeader);
    if (context.HasLastLine()) WriteStripValues(context, layout, quantity, field);
    if (channels > 0) {
      if (!firstGroup && !layout.compactSummary) AppendSummaryLine(context.view.summary, Colour::Black, {});
      const Rgb headingColour = layout.compactSummary ? quantity.colours[0] : Colour::Black;
      AppendSummaryLine(context.view.summary, headingColour, WindowText(quantity.heading));
      WriteMinMaxLines(context, layout, quantity, channel);
      firstGroup = false;
    }
    field += channels;
    channel += channels;
  }
}

// Event devices: no values in the strips, a legend of the event values in the summary box.
void WriteEventLegend(const PageContext& context, std::span<const LegendLine> legend) {
  ArrangePages(context.view, 100, {true, false, false, false},
               {QT_TRANSLATE_NOOP("WindowModel", "Események"), HumidityCaption});
  RewriteStrip(context.view.pages[PageT].strip, "");
  RewriteStrip(context.view.pages[PageH].strip, HumidityHeader);
  AppendSummaryLine(context.view.summary, Colour::Black,
                    WindowText(QT_TRANSLATE_NOOP("WindowModel", "Esemény/érték:")));
  for (const LegendLine& line : legend)
    AppendSummaryLine(context.view.summary, line.colour, WindowText(line.text));
}

// Contact states 1 .. 12 on a fixed axis; the humidity strip keeps "2: " and the summary stays empty.
void WriteContact(const PageContext& context) {
  ArrangePages(context.view, 100, {true, false, false, false},
               {QT_TRANSLATE_NOOP("WindowModel", "Kontaktus"), HumidityCaption});
  context.view.pages[PageT].chart.SetAxisRange(1, 12);
  RewriteStrip(context.view.pages[PageT].strip, "");
}

// The last control event in words, chosen by the first character of its field; an empty field, like
// any character other than "0" to "4", reads "Ismeretlen".
void WriteControlEvent(const PageContext& context) {
  ArrangePages(context.view, 100, {true, false, false, false},
               {QT_TRANSLATE_NOOP("WindowModel", "Vezérlés"), HumidityCaption});
  RichText& strip = context.view.pages[PageT].strip;
  RewriteStrip(strip, QT_TRANSLATE_NOOP("WindowModel", "Utolsó vezérlési esemény: "));
  RewriteStrip(context.view.pages[PageH].strip, HumidityHeader);
  if (!context.HasLastLine()) return;
  const QByteArray& field = context.Field(FirstValueColumn);
  const int event = field.isEmpty() ? -1 : field[0] - '0';
  const bool known = event >= 0 && event < int(std::size(ControlEvents));
  strip.SetColour(Colour::Red);
  strip.Insert(WindowText(known ? ControlEvents[event] : UnknownControlEvent));
}

// What a page family shows: its measured quantities or one of the event and contact pages.
struct FamilyRow {
  PageFamily family;
  MeasuringLayout measuring;                            // a measuring family's quantities, else empty
  void (*write)(const PageContext& context) = nullptr;  // an event or contact family's pages
};

void WriteRelayLegend(const PageContext& context) {
  WriteEventLegend(context, RelayLegend);
}
void WriteBellLegend(const PageContext& context) {
  WriteEventLegend(context, BellLegend);
}
void WriteBellWithContactLegend(const PageContext& context) {
  WriteEventLegend(context, BellWithContactLegend);
}

// One row per page family but None; the event and contact families chart every value column on the
// first page (a relay event field holds two numbers).
constexpr FamilyRow FamilyRows[] = {
    {TemperatureHumidity, {TemperatureHumidityQuantities}},
    {Illumination, {Illuminations}},
    {Current, {Currents}},
    {RelayEvents, {}, WriteRelayLegend},
    {BellEvents, {}, WriteBellLegend},
    {BellEventsWithContact, {}, WriteBellWithContactLegend},
    {Contact, {}, WriteContact},
    {ControlEvent, {}, WriteControlEvent},
    {Climate, {ClimateQuantities, 100, false, true}},
    {TwoHumidity, {TwoHumidityQuantities, 160}},
    {Particulate, {ParticulateQuantities, 250}},
    {EnergyMeter, {EnergyQuantities, 100, true, true}},
    {HubMonitor, {HubQuantities, 100, false, false, true}},
};

const FamilyRow* FindFamilyRow(PageFamily family) {
  for (const FamilyRow& row : FamilyRows) {
    if (row.family == family) return &row;
  }
  return nullptr;
}

}  // namespace

std::optional<PageLayout> LookUpPageLayout(int deviceCode) {
  const DeviceType* type = FindDeviceType(deviceCode);
  if (!type || !FindFamilyRow(type->family)) return std::nullopt;
  return PageLayout{type, type->family};
}

std::array<int, 4> ChartChannels(const PageLayout& layout) {
  const FamilyRow* row = FindFamilyRow(layout.family);
  if (!row) return {};
  if (row->write) return {layout.type->ValueColumns(), 0, 0, 0};
  return PageChannels(*layout.type, row->measuring.quantities);
}

void SetUpPages(const SharedState& state, WindowModel& view, char systemDecimalSeparator,
                const ChannelExtremes& extremes) {
  const std::optional<PageLayout> layout = LookUpPageLayout(state.DeviceCode);
  if (!layout) return;
  const PageContext context{state, view, systemDecimalSeparator, extremes, *layout->type};
  const FamilyRow& row = *FindFamilyRow(layout->family);
  if (row.write) {
    row.write(context);
  } else {
    WriteMeasuringLayout(context, row.measuring);
  }
}
