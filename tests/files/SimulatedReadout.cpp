#include "SimulatedReadout.h"

#include "support/SimulatorFixture.h"

Environment TestEnvironment(const QString& folder, char separator, const QDateTime& time) {
  Environment env;
  env.programFolder = folder;
  env.systemDecimalSeparator = separator;
  env.now = [time] { return time; };
  return env;
}

SimulatedReadout ReadSimulatedDevice(const SimulatorConfig& config, char separator, const QString& folder,
                                     const QDateTime& time) {
  RunningSimulator device(config);
  DeviceLink link;
  link.port = device.Port();
  SimulatedReadout readout;
  readout.state.DecimalSeparatorText = QByteArray(1, separator);
  readout.report = ReadDeviceLog(readout.state, readout.view, link, TestEnvironment(folder, separator, time),
                                 QStringLiteral("127.0.0.1"));
  return readout;
}

SimulatorConfig FixedSimulatorConfig(int deviceCode, int recordCount) {
  SimulatorConfig config;
  config.deviceCode = deviceCode;
  config.chipCode = 1;
  config.recordCount = recordCount;
  config.wrapped = true;
  config.seed = 7;
  config.start = QDateTime(QDate(2024, 3, 1), QTime(0, 0));
  config.intervalMinutes = 10;
  config.missingEveryN = 50;
  return config;
}
