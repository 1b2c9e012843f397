// Opening and drawing a full 25LC512 log: 6144 measurement lines, the most a readout of 8-byte
// records gives.

#include <benchmark/benchmark.h>

#include <QLocale>
#include <QTemporaryDir>

#include "core/TextLines.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "decode/DeviceCatalogue.h"
#include "operations/FileOpen.h"

namespace {

constexpr int LineCount = 6144;
constexpr int MinutesPerRecord = 10;

// Value columns of a line: `valueCount` tenths-valued readings in "." notation, every 50th missing;
// the event devices get an event code and its name instead.
QByteArray MeasurementLine(int index, int deviceCode, int valueCount) {
  const QDateTime time =
      QDateTime(QDate(2024, 3, 1), QTime(0, 0)).addSecs(qint64(index) * MinutesPerRecord * 60);
  QByteArray line = time.toString(QStringLiteral("yyyy;MM;dd;hh;mm;")).toLatin1();
  if (LookUpDeviceType(deviceCode)->fieldType == 5) {
    static const QByteArray eventName = ToWin1250(QStringLiteral("Automatikus csengetés"));
    return line + "10;" + eventName;
  }
  for (int column = 0; column < valueCount; ++column) {
    if (index % 50 == column) {
      line += "--;";
    } else {
      line += QByteArray::number(200 + (index * 7 + column * 13) % 150) + '.' +
              QByteArray::number((index + column) % 10) + ';';
    }
  }
  return line;
}

void OpenAndRender(benchmark::State& bench) {
  QLocale::setDefault(QLocale::c());
  const int deviceCode = int(bench.range(0));
  const int valueCount = int(bench.range(1));
  const DeviceType type = *LookUpDeviceType(deviceCode);
  QTemporaryDir folder;
  TextLines lines;
  for (int i = 0; i < LineCount; ++i) lines.Add(MeasurementLine(i, deviceCode, valueCount));
  const QString path =
      folder.filePath(QStringLiteral("24.03.01 00.00 VALD_%1.csv").arg(QLatin1String(type.name)));
  lines.SaveToFile(path);

  Environment env;
  env.programFolder = folder.path();
  SharedState state;
  state.DecimalSeparatorText = ".";
  WindowModel view;
  for (auto _ : bench) {
    try {
      OpenMeasurementFile(state, view, env, path);
    } catch (const ValdError& error) {
      bench.SkipWithError(error.what());
      break;
    }
    benchmark::DoNotOptimize(view.pages[PageT].chart.series[0].Count());
  }
  bench.SetLabel(type.name);
}

// Device code and the number of value columns: temperatures, climate, particulate matter, events.
BENCHMARK(OpenAndRender)
    ->Args({21, 2})
    ->Args({43, 4})
    ->Args({50, 16})
    ->Args({46, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
