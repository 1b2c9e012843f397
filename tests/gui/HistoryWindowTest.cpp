#include <qcustomplot.h>
#include <QLabel>
#include <QtTest>

#include "Form1Fixture.h"
#include "archive/ArchiveStore.h"
#include "support/ShownLog.h"
#include "ui_TForm1.h"

// "Fájl" -> "Előzmények...": archived records of a device and period drawn as a readout.
class HistoryWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }

  void historyDrawsTheArchivedPeriod() {
    Form1Fixture f("DecimalSeparator=.\r\nArchive=history.sqlite\r\n");
    {
      ArchiveReadout readout;
      readout.device = {QStringLiteral("00:1A:2B:3C:4D:5E"),
                        QStringLiteral("00:1A:2B:3C:4D:5E"),
                        2,
                        QStringLiteral("AGATE"),
                        1,
                        QStringLiteral("10.0.0.7")};
      for (int day = 1; day <= 3; ++day) {
        for (int hour = 0; hour < 24; ++hour) {
          readout.lines << QStringLiteral("2024;03;%1;%2;00;%3.5;20.0;")
                               .arg(day, 2, 10, QLatin1Char('0'))
                               .arg(hour, 2, 10, QLatin1Char('0'))
                               .arg(hour)
                               .toLatin1();
        }
      }
      ArchiveStore(ParseArchiveLocation(QStringLiteral("history.sqlite"), f.folder.Path())).Merge(readout);
    }
    f.nextHistory = HistoryChoice{QStringLiteral("00:1A:2B:3C:4D:5E"), QDate(2024, 3, 2), QDate(2024, 3, 3)};
    f.form->Controls().Elzmnyek1->trigger();

    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.historyDevices, QStringList{QStringLiteral("00:1A:2B:3C:4D:5E")});
    QCOMPARE(f.historyPeriod, std::pair(QDate(2023, 11, 3), QDate(2023, 12, 3)));
    QCOMPARE(f.form->StatusPanel(2)->text(),
             QStringLiteral("Előzmények: 00:1A:2B:3C:4D:5E 2024-03-02 – 2024-03-03, 48 rekord"));
    QCOMPARE(f.form->State().LogRecords.Count(), 48);
    QCOMPARE(ShownLines(f.form->State()).Get(0), QByteArray("2024;03;02;00;00;0.5;20.0;"));
    QCOMPARE(f.form->Controls().LabelDevice->text(), QStringLiteral("AGATE"));
    QCOMPARE(f.form->Controls().Chart_T->graph(0)->dataCount(), 48);
  }
};

QTEST_MAIN(HistoryWindowTest)
#include "HistoryWindowTest.moc"
